#include "storage/preferences.h"

#include <cstring>
#include <string>

#include "platform/constants.h"
#include "storage/binary_io.h"
#include "storage/module_path.h"

namespace pavix {
namespace {

constexpr std::uint8_t kMagic[11] = {0x07, 0x08, 'P', 'a', 'v', 'i', 'x', 'P', 'r', 'e', 'f'};
constexpr std::int32_t kVersion = 1;
constexpr std::uint32_t kReplaceFlags = kMoveFileReplaceExisting | kMoveFileWriteThrough;

}  // namespace

Preferences::Preferences(Platform& platform) : platform_(platform) {
    PathBesideExecutable(platform_, path_, "Preferences.dat");
}

FileResult Preferences::Load() {
    const FileHandle file =
        platform_.CreateFileA(path_, kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    if (file == kInvalidHandleValue) {
        return kFileMissing;
    }
    std::uint8_t record[sizeof kMagic + 8];
    const bool read = ReadExact(platform_, file, record, sizeof record);
    platform_.CloseHandle(file);
    if (!read || std::memcmp(record, kMagic, sizeof kMagic) != 0 ||
        LoadInt32(record + sizeof kMagic) != kVersion) {
        return kFileUnusable;
    }
    const std::int32_t showHints = LoadInt32(record + sizeof kMagic + 4);
    if (showHints != 0 && showHints != 1) {
        return kFileUnusable;
    }
    showHints_ = showHints == 1;
    return kFileOk;
}

bool Preferences::Save() const {
    if (path_[0] == '\0') {
        return false;
    }
    const std::string newPath = std::string(path_) + ".new";
    const FileHandle file = platform_.CreateFileA(newPath.c_str(), kGenericWrite, 0, kCreateAlways,
                                                  kFileAttributeNormal);
    if (file == kInvalidHandleValue) {
        return false;
    }
    FileWriter writer(platform_, file);
    writer.Write(kMagic, sizeof kMagic);
    writer.WriteInt32(kVersion);
    writer.WriteInt32(showHints_ ? 1 : 0);
    bool written = writer.Flush() && platform_.FlushFileBuffers(file);
    written = platform_.CloseHandle(file) && written;
    if (!written || !platform_.MoveFileExA(newPath.c_str(), path_, kReplaceFlags)) {
        platform_.DeleteFileA(newPath.c_str());
        return false;
    }
    return true;
}

}  // namespace pavix
