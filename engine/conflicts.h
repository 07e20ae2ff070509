// Which sequences of a list can never run, by the matching rules of the engine: every press is
// first compared with the abort chord, and a sequence completes as soon as its last chord is
// pressed, so a sequence that begins with all the chords of another, or repeats the chords of an
// earlier one, is always beaten to it. The editor and the command-line tool warn about these; the
// engine itself builds matchers for them as for any other sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/key_chord.h"
#include "model/sequence.h"

namespace pavix {

enum class ConflictKind {
    kNone,
    kNoKeys,      // never runs: it has no chords (the engine skips it)
    kNoCommands,  // never runs: it has no commands (the engine skips it)
    kAbortChord,  // never completes: chord `chord` is the abort chord, which always aborts
    kSameChords,  // never runs: `other`, earlier in the list, has exactly the same chords
    kBeginsWith,  // never runs: it begins with all the chords of `other`, which completes first
};

struct Conflict {
    ConflictKind kind = ConflictKind::kNone;
    std::size_t other = 0;  // the sequence that completes instead (kSameChords, kBeginsWith)
    std::size_t chord = 0;  // 0-based position of the abort chord (kAbortChord)

    bool operator==(const Conflict& o) const {
        return kind == o.kind && other == o.other && chord == o.chord;
    }
};

// One entry per sequence, in list order. abortChord is the chord of an enabled abort key.
// Cost: proportional to the number of chords in the list, however they are shared out (two
// passes through a trie of the chord lists), so the editor can run it after every edit.
std::vector<Conflict> FindConflicts(const SequenceList& list, std::optional<KeyChord> abortChord);

}  // namespace pavix
