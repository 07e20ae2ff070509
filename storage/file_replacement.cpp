#include "storage/file_replacement.h"

#include "platform/constants.h"
#include "storage/module_path.h"

namespace pavix {
namespace {

constexpr std::uint32_t kReplaceFlags = kMoveFileReplaceExisting | kMoveFileWriteThrough;
// Names already taken are skipped; a folder that holds this many of them is given up on, which
// bounds the work when something keeps creating files there.
constexpr int kFreshNameAttempts = 100;

// The name that the `attempt`th try (1, 2, ...) gives a fresh save file of `path`.
std::string FreshSavePathFor(const std::string& path, int attempt) {
    return path + "." + std::to_string(attempt) + ".tmp";
}

}  // namespace

FileReplacement::FileReplacement(FileSystem system, std::string path, SaveFileName naming)
    : system_(system), path_(std::move(path)), naming_(naming), file_(system.files) {}

bool FileReplacement::Begin() {
    if (path_.empty()) {
        return false;
    }
    if (naming_ == SaveFileName::kFresh) {
        return CreateFresh();
    }
    savePath_ = SavePathFor(path_);
    return Create(kCreateAlways);
}

bool FileReplacement::Create(std::uint32_t disposition) {
    file_.Reset(system_.files.CreateFileA(savePath_.c_str(), kGenericWrite, 0, disposition,
                                          kFileAttributeNormal));
    if (!file_.IsOpen()) {
        return false;
    }
    writer_.emplace(system_.files, file_.Get());
    return true;
}

// Creating as new never opens a file that is there already, so nothing of anyone else's can be
// truncated, written or, on failure, deleted.
bool FileReplacement::CreateFresh() {
    for (int attempt = 1; attempt <= kFreshNameAttempts; ++attempt) {
        savePath_ = FreshSavePathFor(path_, attempt);
        if (Create(kCreateNew)) {
            return true;
        }
        const std::uint32_t error = system_.errors.GetLastError();
        if (error != kErrorFileExists && error != kErrorAlreadyExists) {
            break;
        }
    }
    savePath_.clear();
    return false;
}

bool FileReplacement::Commit() {
    bool written = writer_->Flush() && system_.files.FlushFileBuffers(file_.Get());
    written = file_.Close() && written;
    writer_.reset();
    if (!written || !system_.files.MoveFileExA(savePath_.c_str(), path_.c_str(), kReplaceFlags)) {
        system_.files.DeleteFileA(savePath_.c_str());
        return false;
    }
    return true;
}

void FileReplacement::Discard() {
    if (!file_.IsOpen()) {
        return;
    }
    writer_.reset();
    file_.Close();
    system_.files.DeleteFileA(savePath_.c_str());
}

}  // namespace pavix
