// Hints while a sequence is half typed: after a short pause in a search, the hint window lists
// what can come next; it goes the moment the search goes on or ends in any way. The pause is a
// timer of the main window that runs only while a search is under way, so hints cost nothing
// while none is. The user turns them off and on from the tray menu; the choice is kept in
// Preferences.dat.
#pragma once

#include <cstdint>

#include "app/hint_window.h"
#include "engine/sequence_engine.h"
#include "platform/platform.h"
#include "storage/preferences.h"

namespace pavix {

constexpr std::uintptr_t kHintTimerId = 1702;
constexpr std::uint32_t kHintPauseMs = 600;

class Hints {
  public:
    Hints(Platform& platform, ModuleHandle instance, const SequenceEngine& engine)
        : platform_(platform),
          engine_(engine),
          window_(platform, instance),
          preferences_(platform) {}

    // The main window, which owns the timer and the hint window; then the kept choice.
    void Start(WindowHandle mainWindow);
    bool Enabled() const { return preferences_.ShowHints(); }
    // Turns hints off or on and keeps the choice; false when it could not be kept.
    bool Toggle();

    // The engine accepted a key and the search goes on: the pause begins.
    void OnKeyAccepted();
    // The hint timer fired: shows what can come next, if the search still goes on.
    void OnTimer();
    // The search is over, or cannot go on: nothing shown, no timer.
    void End();

    bool TimerRunning() const { return timerRunning_; }
    WindowHandle Shown() const { return window_.Window(); }

  private:
    void StopTimer();

    Platform& platform_;
    const SequenceEngine& engine_;
    HintWindow window_;
    Preferences preferences_;
    WindowHandle mainWindow_ = 0;
    bool timerRunning_ = false;
};

}  // namespace pavix
