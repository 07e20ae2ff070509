#include "app/data_file_watch.h"

#include <cstring>

#include "platform/constants.h"
#include "storage/module_path.h"
#include "storage/owned_handle.h"

namespace pavix {
namespace {

constexpr const char* kFileNames[] = {"Config.dat", "Sequence.dat"};
constexpr std::uint32_t kChanges =
    kFileNotifyChangeFileName | kFileNotifyChangeSize | kFileNotifyChangeLastWrite;
constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

// FNV-1a's step, its high bits folded back so that every bit of the value reaches the low ones.
std::uint64_t Mixed(std::uint64_t digest, std::uint64_t value) {
    digest = (digest ^ value) * kFnvPrime;
    return digest ^ (digest >> 32);
}

}  // namespace

DataFileWatch::DataFileWatch(Platform& platform) : files_(platform) {
    for (int i = 0; i < kFileCount; ++i) {
        PathBesideExecutable(files_, paths_[i], kFileNames[i]);
    }
}

void DataFileWatch::Start() {
    if (handle_ != kInvalidHandleValue || paths_[0][0] == '\0') {
        return;
    }
    char folder[kMaxPath];
    std::memcpy(folder, paths_[0], sizeof folder);
    files_.PathRemoveFileSpecA(folder);
    handle_ = files_.FindFirstChangeNotificationA(folder, false, kChanges);
}

void DataFileWatch::Stop() {
    if (handle_ != kInvalidHandleValue) {
        files_.FindCloseChangeNotification(handle_);
        handle_ = kInvalidHandleValue;
    }
}

bool DataFileWatch::Rearm() {
    if (handle_ != kInvalidHandleValue && files_.FindNextChangeNotification(handle_)) {
        return true;
    }
    Stop();
    return false;
}

void DataFileWatch::Remember() {
    for (int i = 0; i < kFileCount; ++i) {
        remembered_[i] = Read(i);
    }
}

DataFileWatch::Change DataFileWatch::Compare() const {
    Change change = Change::kNone;
    for (int i = 0; i < kFileCount; ++i) {
        const Contents now = Read(i);
        if (now.kind == Contents::Kind::kBusy) {
            return Change::kWriting;
        }
        if (!(now == remembered_[i])) {
            change = Change::kChanged;
        }
    }
    return change;
}

// Opened as the loaders open it, so that a file its writer still holds reads as busy where the
// platform keeps writers and readers apart.
DataFileWatch::Contents DataFileWatch::Read(int file) const {
    Contents contents;
    OwnedHandle handle(files_, files_.CreateFileA(paths_[file], kGenericRead, 0, kOpenExisting,
                                                  kFileAttributeNormal));
    if (!handle.IsOpen()) {
        contents.kind = files_.GetLastError() == kErrorSharingViolation ? Contents::Kind::kBusy
                                                                        : Contents::Kind::kAbsent;
        return contents;
    }
    contents.kind = Contents::Kind::kRead;
    contents.digest = kFnvOffset;
    // Every pass reads the files: they are hashed a word at a time, the words counted from the
    // file's start whatever sizes the reads come in, and the last bytes one by one.
    unsigned char buffer[16384];
    std::uint32_t filled = 0;
    std::uint32_t count = 0;
    while (files_.ReadFile(handle.Get(), buffer + filled, sizeof buffer - filled, &count) &&
           count > 0) {
        contents.size += count;
        filled += count;
        const std::uint32_t whole = filled - filled % sizeof(std::uint64_t);
        for (std::uint32_t i = 0; i < whole; i += sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, buffer + i, sizeof word);
            contents.digest = Mixed(contents.digest, word);
        }
        std::memmove(buffer, buffer + whole, filled - whole);
        filled -= whole;
    }
    for (std::uint32_t i = 0; i < filled; ++i) {
        contents.digest = Mixed(contents.digest, buffer[i]);
    }
    return contents;
}

}  // namespace pavix
