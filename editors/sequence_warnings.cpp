#include "editors/sequence_warnings.h"

#include <algorithm>

#include "platform/constants.h"
#include "resources/ids.h"
#include "resources/texts.h"
#include "wording/wording.h"

namespace pavix {

bool SequenceWarnings::Update(const SequenceList& list, WindowHandle window) {
    std::vector<bool> marked(conflicts_.size());
    for (std::size_t i = 0; i < marked.size(); ++i) {
        marked[i] = Marked(i);
    }
    conflicts_ = FindConflicts(list, abortChord_);
    refused_.assign(list.Size(), false);
    for (std::size_t i = 0; i < list.Size(); ++i) {
        for (KeyChord chord : list.At(i).Keys()) {
            if (Probe(chord, window)) {
                refused_[i] = true;
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
           (conflicts_[index].kind != ConflictKind::kNone || refused_[index]);
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
    // One line per kind of refusal: chords held by other programs first, as they are the usual
    // case, then each other error in the order the sequence meets it.
    const std::vector<RefusedChord> refused = RefusedChords(list.At(index));
    std::vector<std::uint32_t> errors;
    for (const RefusedChord& chord : refused) {
        if (std::find(errors.begin(), errors.end(), chord.error) == errors.end()) {
            errors.push_back(chord.error);
        }
    }
    std::stable_partition(errors.begin(), errors.end(), [](std::uint32_t error) {
        return error == kErrorHotkeyAlreadyRegistered;
    });
    for (std::uint32_t error : errors) {
        reason += (reason.empty() ? "" : "\r\n") + RefusalLine(refused, error);
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

SequenceWarnings::Refusal SequenceWarnings::Probe(KeyChord chord, WindowHandle window) {
    const auto known = refusals_.find(chord);
    if (known != refusals_.end()) {
        return known->second;
    }
    Refusal refusal;
    if (platform_.RegisterHotKey(window, kProbeHotkeyId, chord.modifiers, chord.keyCode)) {
        platform_.UnregisterHotKey(window, kProbeHotkeyId);
    } else {
        refusal = platform_.GetLastError();
    }
    refusals_.emplace(chord, refusal);
    return refusal;
}

// Each refused chord once, in the order of the sequence.
std::vector<SequenceWarnings::RefusedChord> SequenceWarnings::RefusedChords(
    const Sequence& sequence) const {
    std::vector<RefusedChord> refused;
    for (KeyChord chord : sequence.Keys()) {
        const auto known = refusals_.find(chord);
        if (known != refusals_.end() && known->second &&
            std::none_of(refused.begin(), refused.end(),
                         [&](const RefusedChord& seen) { return seen.chord == chord; })) {
            refused.push_back({chord, *known->second});
        }
    }
    return refused;
}

// The chords of `refused` that failed with `error`, in words.
std::string SequenceWarnings::RefusalLine(const std::vector<RefusedChord>& refused,
                                          std::uint32_t error) {
    std::string chords;
    for (const RefusedChord& chord : refused) {
        if (chord.error == error) {
            chords += (chords.empty() ? "" : ", ") + ChordLabel(platform_, chord.chord);
        }
    }
    if (error == kErrorHotkeyAlreadyRegistered) {
        return FillIn(LoadText(platform_, ids::kTextHeldElsewhere), chords);
    }
    std::string line =
        FillIn(LoadText(platform_, ids::kTextHotkeyRefused), {chords, std::to_string(error)});
    const std::string systemText = SystemText(error);
    return systemText.empty() ? line : line + " " + systemText;
}

// The system's own description of `error`, without the line break it ends with; empty when it
// has none.
std::string SequenceWarnings::SystemText(std::uint32_t error) {
    char* allocated = nullptr;
    const std::uint32_t length = platform_.FormatMessageA(
        kFormatMessageFromSystem | kFormatMessageIgnoreInserts | kFormatMessageAllocateBuffer,
        nullptr, error, kLangUserDefault, &allocated, 0);
    std::string text;
    if (allocated != nullptr) {
        text.assign(allocated, length);
        platform_.LocalFree(allocated);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace pavix
