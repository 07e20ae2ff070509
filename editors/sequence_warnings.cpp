#include "editors/sequence_warnings.h"

#include <algorithm>

#include "platform/constants.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {

bool SequenceWarnings::Update(const SequenceList& list, WindowHandle window) {
    std::vector<bool> marked(conflicts_.size());
    for (std::size_t i = 0; i < marked.size(); ++i) {
        marked[i] = Marked(i);
    }
    conflicts_ = FindConflicts(list, abortChord_);
    held_.assign(list.Size(), false);
    for (std::size_t i = 0; i < list.Size(); ++i) {
        for (KeyChord chord : list.At(i).Keys()) {
            if (HeldElsewhere(chord, window)) {
                held_[i] = true;
            }
        }
    }
    bool changed = marked.size() != list.Size();
    for (std::size_t i = 0; i < marked.size() && !changed; ++i) {
        changed = marked[i] != Marked(i);
    }
    return changed;
}

bool SequenceWarnings::Marked(std::size_t index) const {
    return index < conflicts_.size() &&
           (conflicts_[index].kind != ConflictKind::kNone || held_[index]);
}

std::string SequenceWarnings::Reason(const SequenceList& list, std::size_t index) {
    if (index >= conflicts_.size() || index >= list.Size()) {
        return std::string();
    }
    const ConflictText explained = ExplainConflict(list, conflicts_[index]);
    std::string reason;
    if (explained.textId != 0) {
        reason = FillIn(LoadText(platform_, explained.textId), explained.value);
    }
    std::string held;
    for (KeyChord chord : HeldChords(list.At(index))) {
        held += (held.empty() ? "" : ", ") + ChordLabel(platform_, chord);
    }
    if (!held.empty()) {
        reason += (reason.empty() ? "" : "\r\n") +
                  FillIn(LoadText(platform_, ids::kTextHeldElsewhere), held);
    }
    std::string bare;
    for (KeyChord chord : BareChords(list.At(index))) {
        bare += (bare.empty() ? "" : ", ") + ChordLabel(platform_, chord);
    }
    if (!bare.empty()) {
        reason += (reason.empty() ? "" : "\r\n") +
                  FillIn(LoadText(platform_, ids::kTextNoModifier), bare);
    }
    return reason;
}

// Each chord without Control, Alt, Shift or Win once, in the order of the sequence.
std::vector<KeyChord> SequenceWarnings::BareChords(const Sequence& sequence) {
    std::vector<KeyChord> bare;
    for (KeyChord chord : sequence.Keys()) {
        if (chord.modifiers == 0 && std::find(bare.begin(), bare.end(), chord) == bare.end()) {
            bare.push_back(chord);
        }
    }
    return bare;
}

bool SequenceWarnings::HeldElsewhere(KeyChord chord, WindowHandle window) {
    const auto known = heldElsewhere_.find(chord);
    if (known != heldElsewhere_.end()) {
        return known->second;
    }
    bool held = false;
    if (platform_.RegisterHotKey(window, kProbeHotkeyId, chord.modifiers, chord.keyCode)) {
        platform_.UnregisterHotKey(window, kProbeHotkeyId);
    } else {
        // Other refusals (a key the platform takes for no hotkey) say nothing about others.
        held = platform_.GetLastError() == kErrorHotkeyAlreadyRegistered;
    }
    heldElsewhere_.emplace(chord, held);
    return held;
}

// Each held chord once, in the order of the sequence.
std::vector<KeyChord> SequenceWarnings::HeldChords(const Sequence& sequence) const {
    std::vector<KeyChord> held;
    for (KeyChord chord : sequence.Keys()) {
        const auto known = heldElsewhere_.find(chord);
        if (known != heldElsewhere_.end() && known->second &&
            std::find(held.begin(), held.end(), chord) == held.end()) {
            held.push_back(chord);
        }
    }
    return held;
}

}  // namespace pavix
