// What can come next in a search: a read-only look at the engine's candidates, kept apart from
// the matching itself.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "engine/sequence_engine.h"
#include "model/key_chord.h"

namespace pavix {

struct NextChord {
    KeyChord chord;
    // The matcher that this chord completes: pressing it runs that sequence.
    std::optional<std::size_t> completes;
    // How many candidates it continues (what it leads to when it completes none).
    std::size_t continues = 0;
};

// Each chord that the next press may be, in the order of the sequence list (by the first
// candidate that expects it); empty while no search is under way. A chord that completes a
// sequence completes the first candidate that ends with it, whatever others it would continue;
// the abort chord is left out, since pressing it always aborts.
std::vector<NextChord> NextChords(const SequenceEngine& engine);

}  // namespace pavix
