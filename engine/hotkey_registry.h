// Turns key chords into system-wide hotkeys, each chord registered once under a dense id.
#pragma once

#include <cstdint>
#include <map>

#include "engine/engine_reporter.h"
#include "model/key_chord.h"
#include "platform/platform.h"

namespace pavix {

// 0, 1, 2, ... in order of first registration, restarting at 0 after UnregisterAll.
using HotkeyId = std::int32_t;
constexpr HotkeyId kNoHotkey = -1;

class HotkeyRegistry {
  public:
    HotkeyRegistry(HotkeyApi& hotkeys, EngineReporter& reporter)
        : hotkeyApi_(hotkeys), reporter_(reporter) {}
    virtual ~HotkeyRegistry();
    HotkeyRegistry(const HotkeyRegistry&) = delete;
    HotkeyRegistry& operator=(const HotkeyRegistry&) = delete;

    virtual void SetWindow(WindowHandle window) { window_ = window; }
    // True with the chord's id (registering it first when it is new); false with kNoHotkey when
    // the platform refuses, after reporting it.
    virtual bool Register(KeyChord chord, HotkeyId* id);
    virtual void UnregisterAll();

    const std::map<KeyChord, HotkeyId>& Hotkeys() const { return hotkeys_; }
    WindowHandle Window() const { return window_; }

  private:
    HotkeyApi& hotkeyApi_;
    EngineReporter& reporter_;
    // Entries are never removed one by one, so the ids stay exactly 0 ... size - 1.
    std::map<KeyChord, HotkeyId> hotkeys_;
    WindowHandle window_ = 0;
};

}  // namespace pavix
