// What each chord does, in the user's language: the descriptions under which a desktop lists
// the program's shortcuts (its global-shortcuts portal), since there each chord is a shortcut
// of its own while the sequences it belongs to are the program's business.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "model/key_chord.h"
#include "model/sequence.h"
#include "platform/platform.h"

namespace pavix {

// For every chord of a usable sequence (one with chords and commands) and the abort chord:
// "Starts A, B and 3 more / Continues C", naming the sequences in list order (an unnamed one by
// its number). The abort chord only aborts, as every press is compared with it first.
std::map<KeyChord, std::string> DescribeChords(Platform& platform, const SequenceList& list,
                                               std::optional<KeyChord> abortChord);
// The same for what Sequence.dat and Config.dat hold now; their problems are the engine's to
// report.
std::map<KeyChord, std::string> DescribeStoredChords(Platform& platform);

}  // namespace pavix
