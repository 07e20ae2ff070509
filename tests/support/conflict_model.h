// The rules of which sequences never run, at their plainest: every prefix of every usable
// sequence is compared with the whole chord list of every other. Far too slow for the program;
// the yardstick of its conflict check in the unit tests and the conflict fuzzer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "engine/conflicts.h"

namespace pavix::testing {

// The first usable sequence whose chords are exactly the first `length` of `keys`.
inline std::optional<std::size_t> FirstWithChords(const SequenceList& list,
                                                  const std::vector<KeyChord>& keys,
                                                  std::size_t length) {
    for (std::size_t j = 0; j < list.Size(); ++j) {
        const Sequence& other = list.At(j);
        if (!other.Commands().empty() && other.Keys().size() == length &&
            std::equal(other.Keys().begin(), other.Keys().end(), keys.begin())) {
            return j;
        }
    }
    return std::nullopt;
}

inline std::vector<Conflict> ModelConflicts(const SequenceList& list,
                                            std::optional<KeyChord> abortChord) {
    std::vector<Conflict> conflicts(list.Size());
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const std::vector<KeyChord>& keys = list.At(i).Keys();
        if (keys.empty() || list.At(i).Commands().empty()) {
            conflicts[i].kind = keys.empty() ? ConflictKind::kNoKeys : ConflictKind::kNoCommands;
            continue;
        }
        for (std::size_t length = 1; length <= keys.size(); ++length) {
            if (abortChord && keys[length - 1] == *abortChord) {
                conflicts[i] = {ConflictKind::kAbortChord, 0, length - 1};
                break;
            }
            const std::optional<std::size_t> first = FirstWithChords(list, keys, length);
            if (first && *first != i) {
                const bool whole = length == keys.size();
                conflicts[i] = {whole ? ConflictKind::kSameChords : ConflictKind::kBeginsWith,
                                *first, 0};
                break;
            }
        }
    }
    return conflicts;
}

}  // namespace pavix::testing
