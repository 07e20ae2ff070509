// What each chord does, in the user's language: the descriptions under which a desktop lists
// the program's shortcuts (its global-shortcuts portal), since there each chord is a shortcut
// of its own while the sequences it belongs to are the program's business.
#pragma once

#include <map>
#include <string>

#include "model/key_chord.h"
#include "platform/platform.h"

namespace pavix {

class SequenceEngine;

// For every chord of the sequences the engine can run and its abort chord, as its last enabling
// pass left them: "Starts A, B and 3 more / Continues C", naming the sequences in the file's
// order (an unnamed one by its number). The abort chord only aborts, as every press is compared
// with it first. A chord that only sequences with a refused chord use says nothing.
std::map<KeyChord, std::string> DescribeChords(Platform& platform, const SequenceEngine& engine);

}  // namespace pavix
