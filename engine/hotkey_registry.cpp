#include "engine/hotkey_registry.h"

namespace pavix {

HotkeyRegistry::~HotkeyRegistry() {
    UnregisterAll();
}

bool HotkeyRegistry::Register(KeyChord chord, HotkeyId* id) {
    if (auto found = hotkeys_.find(chord); found != hotkeys_.end()) {
        *id = found->second;
        return true;
    }
    const auto newId = static_cast<HotkeyId>(hotkeys_.size());
    if (hotkeyApi_.RegisterHotKey(window_, newId, chord.modifiers, chord.keyCode)) {
        hotkeys_.emplace(chord, newId);
        *id = newId;
        return true;
    }
    reporter_.ReportHotkeyRefused(chord);
    *id = kNoHotkey;
    return false;
}

void HotkeyRegistry::UnregisterAll() {
    if (window_ == 0) {
        return;
    }
    for (const auto& [chord, id] : hotkeys_) {
        hotkeyApi_.UnregisterHotKey(window_, id);
    }
    hotkeys_.clear();
}

}  // namespace pavix
