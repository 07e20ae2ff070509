#include "storage/backup.h"

#include "resources/text_ids.h"
#include "resources/texts.h"

namespace pavix {

std::string BackupPathFor(const std::string& path) {
    return path + ".bak";
}

std::string BackupNote(Platform& platform, const std::string& path) {
    return "\n" + LoadText(platform, kTextBackupKept) + BackupPathFor(path);
}

bool KeepBackup(Platform& platform, const std::string& path) {
    const std::string backup = BackupPathFor(path);
    if (platform.CopyFileA(path.c_str(), backup.c_str(), false)) {
        return true;
    }
    ShowError(platform, LoadText(platform, kTextWriteFailed) + "\n" + backup);
    return false;
}

}  // namespace pavix
