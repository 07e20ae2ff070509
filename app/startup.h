// The life of the Pavix process: single-instance check, initialisation, the hidden main window
// and its message loop.
#pragma once

#include "platform/platform.h"

namespace pavix {

// Runs Pavix until its main window is destroyed; returns the process exit code.
int RunPavix(Platform& platform);

}  // namespace pavix
