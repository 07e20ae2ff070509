#include "platform/linux/portal/portal_hotkeys.h"

#include "platform/linux/portal/shortcut_names.h"

namespace pavix {

PortalHotkeys::PortalHotkeys(PortalRules rules, Pressed pressed, RefusalsChanged refusalsChanged,
                             Describe describe)
    : bindings_(rules),
      pressed_(std::move(pressed)),
      refusalsChanged_(std::move(refusalsChanged)),
      describe_(std::move(describe)) {}

PortalEvents PortalHotkeys::Events() {
    PortalEvents events;
    events.created = [this](bool ok, const std::string& session) {
        Answered(bindings_.Created(ok, session));
    };
    events.listed = [this](bool ok, const std::vector<std::string>& ids) {
        Answered(bindings_.Listed(ok, ids));
    };
    events.bound = [this](std::uint32_t response, const std::vector<std::string>& ids) {
        Answered(bindings_.Bound(response, ids));
    };
    // Pressed at the moment the signal is read: the portals' timestamps differ by desktop.
    events.activated = [this](const std::string& session, const std::string& id) {
        if (const auto hotkey = bindings_.Activated(session, id)) {
            pressed_(hotkey->window, hotkey->id, hotkey->chord & 0xFFFF, hotkey->chord >> 16);
        }
    };
    return events;
}

std::uint32_t PortalHotkeys::Register(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                      std::uint32_t key) {
    window_ = window;
    const std::uint32_t error = bindings_.Register(window, id, key << 16 | (modifiers & 0xFFFF));
    refusedInPass_ = refusedInPass_ || error != 0;
    return error;
}

bool PortalHotkeys::Unregister(WindowHandle window, std::int32_t id) {
    return bindings_.Unregister(window, id);
}

void PortalHotkeys::Answered(bool refusalsChanged) {
    if (refusalsChanged && window_ != 0 && bindings_.Holding()) {
        refusalsChanged_(window_);
    }
    Flush(true);
}

void PortalHotkeys::Flush(bool modal) {
    if (modal && refusedInPass_) {
        return;
    }
    refusedInPass_ = refusedInPass_ && modal;
    if (!connection_) {
        return;
    }
    for (;;) {
        const std::string session = bindings_.SessionHandle();
        const PortalBindings::Step step = bindings_.Next();
        switch (step.kind) {
            case PortalBindings::StepKind::kNone:
                return;
            case PortalBindings::StepKind::kCloseSession:
                connection_->CloseSession(session);
                continue;
            case PortalBindings::StepKind::kCreateSession:
                connection_->CreateSession(Shortcuts(step.chords));
                return;
            case PortalBindings::StepKind::kListShortcuts:
                connection_->ListShortcuts(session);
                return;
            case PortalBindings::StepKind::kBindShortcuts:
                connection_->BindShortcuts(session, Shortcuts(step.chords));
                return;
        }
    }
}

std::vector<PortalShortcut> PortalHotkeys::Shortcuts(const std::vector<PackedChord>& chords) const {
    std::vector<PortalShortcut> shortcuts;
    if (chords.empty()) {
        return shortcuts;
    }
    const std::map<PackedChord, std::string> descriptions =
        describe_ ? describe_() : std::map<PackedChord, std::string>();
    for (const PackedChord chord : chords) {
        const auto described = descriptions.find(chord);
        shortcuts.push_back(
            PortalShortcut{ShortcutId(chord & 0xFFFF, chord >> 16),
                           described != descriptions.end() ? described->second : std::string(),
                           PortalTrigger(chord & 0xFFFF, chord >> 16)});
    }
    return shortcuts;
}

}  // namespace pavix
