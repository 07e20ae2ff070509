#include "storage/file_replacement.h"

#include "platform/constants.h"
#include "storage/module_path.h"

namespace pavix {
namespace {

constexpr std::uint32_t kReplaceFlags = kMoveFileReplaceExisting | kMoveFileWriteThrough;

}  // namespace

FileReplacement::FileReplacement(FileApi& files, std::string path)
    : files_(files), path_(std::move(path)), savePath_(SavePathFor(path_)), file_(files) {}

bool FileReplacement::Begin() {
    if (path_.empty()) {
        return false;
    }
    file_.Reset(files_.CreateFileA(savePath_.c_str(), kGenericWrite, 0, kCreateAlways,
                                   kFileAttributeNormal));
    if (!file_.IsOpen()) {
        return false;
    }
    writer_.emplace(files_, file_.Get());
    return true;
}

bool FileReplacement::Commit() {
    bool written = writer_->Flush() && files_.FlushFileBuffers(file_.Get());
    written = file_.Close() && written;
    writer_.reset();
    if (!written || !files_.MoveFileExA(savePath_.c_str(), path_.c_str(), kReplaceFlags)) {
        files_.DeleteFileA(savePath_.c_str());
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
    files_.DeleteFileA(savePath_.c_str());
}

}  // namespace pavix
