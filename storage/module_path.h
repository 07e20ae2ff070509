// Paths beside the running executable, the way both data files and the default sounds find them.
#pragma once

#include "platform/platform.h"

namespace pavix {

// Writes the executable's folder joined with `name` into `buffer` (kMaxPath bytes):
// GetModuleHandleA(NULL), GetModuleFileNameA(module, buffer, 260), PathRemoveFileSpecA,
// PathAppendA(name). False, with `buffer` left empty, when the joined path does not fit.
bool PathBesideExecutable(FileApi& files, char* buffer, const char* name);

}  // namespace pavix
