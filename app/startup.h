// The life of the Pavix process: single-instance check, initialisation, the hidden main window
// and its message loop.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"

namespace pavix {

class SequenceEngine;

// Told of the engine before its first pass and of nullptr before it goes, for a platform that
// describes the engine's chords to the desktop.
using EngineHook = std::function<void(const SequenceEngine* engine)>;

// Runs Pavix until its main window is destroyed; returns the process exit code.
int RunPavix(Platform& platform, const EngineHook& engineHook = nullptr);

// Tells of a registered chord that the platform had to let go of (a new keyboard map put it on a
// key another program holds) as a chord refused at registration is told of.
void ReportHotkeyLost(Platform& platform, std::uint32_t modifiers, std::uint32_t key);

}  // namespace pavix
