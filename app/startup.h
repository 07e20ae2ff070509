// The life of the Pavix process: single-instance check, initialisation, the hidden main window
// and its message loop.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace pavix {

// Runs Pavix until its main window is destroyed; returns the process exit code.
int RunPavix(Platform& platform);

// Tells of a registered chord that the platform had to let go of (a new keyboard map put it on a
// key another program holds) as a chord refused at registration is told of.
void ReportHotkeyLost(Platform& platform, std::uint32_t modifiers, std::uint32_t key);

}  // namespace pavix
