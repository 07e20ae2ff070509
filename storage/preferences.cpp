#include "storage/preferences.h"

#include <cstring>
#include <string>

#include "platform/constants.h"
#include "storage/backup.h"
#include "storage/binary_io.h"
#include "storage/file_replacement.h"
#include "storage/module_path.h"

namespace pavix {
namespace {

constexpr std::uint8_t kMagic[11] = {0x07, 0x08, 'P', 'a', 'v', 'i', 'x', 'P', 'r', 'e', 'f'};
constexpr std::int32_t kVersion = 1;

}  // namespace

Preferences::Preferences(Platform& platform) : platform_(platform) {
    PathBesideExecutable(platform_, path_, "Preferences.dat");
}

FileResult Preferences::Load() {
    const FileResult result = Read();
    keepOldFile_ = result == FileResult::kUnusable;
    return result;
}

FileResult Preferences::Read() {
    const FileHandle file =
        platform_.CreateFileA(path_, kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    if (file == kInvalidHandleValue) {
        return FileResult::kMissing;
    }
    std::uint8_t record[sizeof kMagic + 8];
    const bool read = ReadExact(platform_, file, record, sizeof record);
    platform_.CloseHandle(file);
    if (!read || std::memcmp(record, kMagic, sizeof kMagic) != 0 ||
        LoadInt32(record + sizeof kMagic) != kVersion) {
        return FileResult::kUnusable;
    }
    const std::int32_t showHints = LoadInt32(record + sizeof kMagic + 4);
    if (showHints != 0 && showHints != 1) {
        return FileResult::kUnusable;
    }
    showHints_ = showHints == 1;
    return FileResult::kOk;
}

bool Preferences::Save() {
    if (path_[0] == '\0') {
        return false;
    }
    // Once kept, the backup is not overwritten by a later save: that would keep only Pavix's own
    // file, which replaced the one worth keeping.
    if (keepOldFile_ && !KeepBackup(platform_, path_)) {
        return false;
    }
    keepOldFile_ = false;
    FileReplacement replacement(platform_, path_, SaveFileName::kOwn);
    if (!replacement.Begin()) {
        return false;
    }
    FileWriter& writer = replacement.Writer();
    writer.Write(kMagic, sizeof kMagic);
    writer.WriteInt32(kVersion);
    writer.WriteInt32(showHints_ ? 1 : 0);
    return replacement.Commit();
}

}  // namespace pavix
