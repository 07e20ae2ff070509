// What the engine tells its owner about failures while it enables itself or runs commands; it
// shows nothing itself.
#pragma once

#include <string>

#include "model/key_chord.h"
#include "storage/file_result.h"

namespace pavix {

class EngineReporter : public FileProblemReporter {
  public:
    // The platform refused to register `chord` as a hotkey.
    virtual void ReportHotkeyRefused(KeyChord chord) = 0;
    // The shell could not launch an external command; `reason` is the system's text for the
    // last error, empty when it has none.
    virtual void ReportLaunchFailed(const std::string& reason) = 0;
};

}  // namespace pavix
