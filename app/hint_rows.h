// What the hint window says while a search is under way.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/sequence_engine.h"
#include "platform/platform.h"

namespace pavix {

struct HintRow {
    std::string chord;  // empty in the row that counts the chords left out
    std::string what;
};

constexpr std::size_t kMostHintRows = 12;

// One row per chord that can come next, in the order of the sequence list: the chord labelled
// as the editors label chords, and the name of the sequence it completes or how many it
// continues. Past kMostHintRows chords, a last row says how many more there are. Empty while no
// search is under way.
std::vector<HintRow> HintRows(Platform& platform, const SequenceEngine& engine);

}  // namespace pavix
