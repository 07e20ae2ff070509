#include "storage/backup.h"

#include "platform/constants.h"

namespace pavix {

std::string BackupPathFor(const std::string& path) {
    return path + ".bak";
}

bool FileExists(FileApi& files, const std::string& path) {
    return files.GetFileAttributesA(path.c_str()) != kInvalidFileAttributes;
}

bool KeepBackup(FileApi& files, const std::string& path) {
    return files.CopyFileA(path.c_str(), BackupPathFor(path).c_str(), false);
}

}  // namespace pavix
