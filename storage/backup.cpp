#include "storage/backup.h"

namespace pavix {

std::string BackupPathFor(const std::string& path) {
    return path + ".bak";
}

bool KeepBackup(FileApi& files, const std::string& path) {
    return files.CopyFileA(path.c_str(), BackupPathFor(path).c_str(), false);
}

}  // namespace pavix
