// The copy that an editor keeps of a data file it could not read completely, before OK replaces
// the file with what could be read: the unread rest would otherwise be gone.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pavix {

// The backup of `path`: the same folder, the file's own name with ".bak" added.
std::string BackupPathFor(const std::string& path);

// Whether `path` names a file, though it may be out of reach: an editor whose read was refused
// (another program holds the file, or access is denied) must not replace it unseen.
bool FileExists(FileApi& files, const std::string& path);

// Copies `path` byte for byte to its backup, replacing an older copy. False when the copy cannot
// be made; the caller must then leave the file as it is.
bool KeepBackup(FileApi& files, const std::string& path);

}  // namespace pavix
