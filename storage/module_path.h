// Paths beside the running executable, the way both data files and the default sounds find them.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pavix {

// Writes the executable's folder joined with `name` into `buffer` (kMaxPath bytes):
// GetModuleHandleA(NULL), GetModuleFileNameA(module, buffer, 260), PathRemoveFileSpecA,
// PathAppendA(name). False, with `buffer` left empty, when the joined path does not fit.
bool PathBesideExecutable(FileApi& files, char* buffer, const char* name);

// The file that a save writes completely before it takes the place of `path`: the same folder and
// name with the extension ".new" instead of the file's own. With the three-letter extension of
// both data files it is exactly as long as `path`, so it can be created wherever `path` can.
std::string SavePathFor(const std::string& path);

}  // namespace pavix
