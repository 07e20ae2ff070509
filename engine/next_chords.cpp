#include "engine/next_chords.h"

#include <cstdint>
#include <map>

namespace pavix {

std::vector<NextChord> NextChords(const SequenceEngine& engine) {
    const std::map<KeyChord, HotkeyId>& hotkeys = engine.Registry().Hotkeys();
    // Ids are dense, 0 ... size - 1.
    std::vector<KeyChord> chordOf(hotkeys.size());
    for (const auto& [chord, id] : hotkeys) {
        chordOf[static_cast<std::size_t>(id)] = chord;
    }
    std::vector<NextChord> next;
    constexpr std::size_t kNoRow = SIZE_MAX;
    std::vector<std::size_t> rowOf(chordOf.size(), kNoRow);
    const std::uint32_t position = engine.Position();
    for (std::size_t candidate : engine.CandidateIndexes()) {
        const std::vector<HotkeyId>& keys = engine.Matcher(candidate).Keys();
        if (position >= keys.size()) {
            continue;
        }
        const HotkeyId id = keys[position];
        if (id == engine.AbortId() || id < 0 || static_cast<std::size_t>(id) >= chordOf.size()) {
            continue;
        }
        std::size_t& at = rowOf[static_cast<std::size_t>(id)];
        if (at == kNoRow) {
            at = next.size();
            next.push_back(NextChord{chordOf[static_cast<std::size_t>(id)], std::nullopt, 0});
        }
        NextChord& row = next[at];
        if (position + 1 == keys.size()) {
            if (!row.completes) {
                row.completes = candidate;
            }
        } else {
            ++row.continues;
        }
    }
    return next;
}

}  // namespace pavix
