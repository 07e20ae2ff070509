// The platform's open-file dialog as the editors use it for their Browse buttons.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pavix {

enum class FileChooserHook { Without, With };

// Shows the open-file dialog owned by the active window, starting from `path` (at most 259
// characters of it), with the single filter "All Files" and the current directory left as it
// is. Returns true and replaces `path` by the full path chosen; false leaves `path` unchanged.
bool ChooseFile(Platform& platform, std::string& path, FileChooserHook hook);

}  // namespace pavix
