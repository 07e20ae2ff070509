// Plain text onto the clipboard.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pavix {

// Replaces what the clipboard holds with `text` (in the system code page). False, with the
// clipboard as it was or emptied, when the platform refuses any step.
bool PutTextOnClipboard(Platform& platform, WindowHandle owner, const std::string& text);

}  // namespace pavix
