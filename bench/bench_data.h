// Sequence collections shaped the way people build them, for the benchmarks: a few popular first
// chords with Control+Alt shared by many sequences, then varied later chords, and two commands
// each (a built-in and a program to start).
#pragma once

#include <cstddef>
#include <string>

#include "fake/fake_platform.h"
#include "model/key_chord.h"
#include "model/sequence.h"

namespace pavix::bench {

constexpr std::size_t kChordsPerSequence = 3;
constexpr std::size_t kPopularFirstChords = 8;

// The most popular first chord: about a quarter of all sequences start with it.
KeyChord MostPopularFirstChord();

// `count` sequences; the same count always gives the same list.
SequenceList MakeSequences(std::size_t count);
// `count` sequences like those of MakeSequences but with their first two chords drawn from every
// modifier set and a hundred keys: about 1,600 first chords, so groups of a few dozen.
SequenceList MakeSpreadSequences(std::size_t count);

// One sequence of `chords` varied chords, and `count` sequences of 2 to 4 chords that start
// like those of MakeSequences, each with one command: the conflict check's two extremes.
SequenceList MakeLongSequence(std::size_t chords);
SequenceList MakeShortSequences(std::size_t count);

// The bytes of Sequence.dat holding `list`, as the program's own writer stores them.
std::string SequenceFileBytes(const SequenceList& list);

// A stand-in that logs nothing, with Config.dat (sounds, no abort key) and, when `sequences` is
// not empty, Sequence.dat beside the executable.
void PrepareFiles(fake::FakePlatform& platform, const std::string& sequences);

}  // namespace pavix::bench
