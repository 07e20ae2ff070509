#include "engine/conflicts.h"

#include <map>

namespace pavix {
namespace {

using ChordList = std::vector<std::uint32_t>;

ChordList Packed(const std::vector<KeyChord>& keys) {
    ChordList packed;
    packed.reserve(keys.size());
    for (const KeyChord& key : keys) {
        packed.push_back(key.Packed());
    }
    return packed;
}

bool Usable(const Sequence& sequence) {
    return !sequence.Keys().empty() && !sequence.Commands().empty();
}

std::optional<std::size_t> AbortPosition(const ChordList& chords,
                                         std::optional<KeyChord> abortChord) {
    if (!abortChord) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < chords.size(); ++i) {
        if (chords[i] == abortChord->Packed()) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<Conflict> FindConflicts(const SequenceList& list, std::optional<KeyChord> abortChord) {
    // Each distinct chord list of a usable sequence, with the first sequence that has it: that
    // one completes whenever those chords have been pressed.
    std::map<ChordList, std::size_t> firstWith;
    std::vector<ChordList> chords(list.Size());
    for (std::size_t i = 0; i < list.Size(); ++i) {
        chords[i] = Packed(list.At(i).Keys());
        if (Usable(list.At(i))) {
            firstWith.emplace(chords[i], i);
        }
    }

    std::vector<Conflict> conflicts(list.Size());
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const Sequence& sequence = list.At(i);
        Conflict& conflict = conflicts[i];
        if (sequence.Keys().empty()) {
            conflict.kind = ConflictKind::kNoKeys;
            continue;
        }
        if (sequence.Commands().empty()) {
            conflict.kind = ConflictKind::kNoCommands;
            continue;
        }
        const std::optional<std::size_t> abortAt = AbortPosition(chords[i], abortChord);
        // The presses are checked one by one: whatever completes or aborts first wins.
        ChordList prefix;
        for (std::size_t length = 1; length <= chords[i].size(); ++length) {
            if (abortAt && *abortAt == length - 1) {
                conflict.kind = ConflictKind::kAbortChord;
                conflict.chord = *abortAt;
                break;
            }
            prefix.push_back(chords[i][length - 1]);
            const auto found = firstWith.find(prefix);
            if (found == firstWith.end() || found->second == i) {
                continue;
            }
            conflict.kind =
                length < chords[i].size() ? ConflictKind::kBeginsWith : ConflictKind::kSameChords;
            conflict.other = found->second;
            break;
        }
    }
    return conflicts;
}

}  // namespace pavix
