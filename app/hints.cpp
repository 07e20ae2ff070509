#include "app/hints.h"

namespace pavix {

void Hints::Start(WindowHandle mainWindow) {
    mainWindow_ = mainWindow;
    // A missing or unusable file leaves hints on; the next choice writes a good one.
    preferences_.Load();
}

bool Hints::Toggle() {
    End();
    preferences_.SetShowHints(!preferences_.ShowHints());
    return preferences_.Save();
}

void Hints::OnKeyAccepted() {
    End();
    if (!preferences_.ShowHints()) {
        return;
    }
    platform_.SetTimer(mainWindow_, kHintTimerId, kHintPauseMs, nullptr);
    timerRunning_ = true;
}

void Hints::OnTimer() {
    // A timer message may still arrive after the timer was stopped.
    const bool due = timerRunning_;
    StopTimer();
    if (due && !engine_.CandidateIndexes().empty()) {
        window_.Show(mainWindow_, HintRows(platform_, engine_));
    }
}

void Hints::End() {
    StopTimer();
    window_.Hide();
}

void Hints::StopTimer() {
    if (timerRunning_) {
        platform_.KillTimer(mainWindow_, kHintTimerId);
        timerRunning_ = false;
    }
}

}  // namespace pavix
