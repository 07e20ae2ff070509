#include "engine/conflicts.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <random>
#include <string>

#include "support/conflict_model.h"

namespace pavix {
namespace {

constexpr KeyChord kA{kModControl | kModAlt, 'A'};
constexpr KeyChord kB{kModControl | kModAlt, 'B'};
constexpr KeyChord kD{kModControl | kModAlt, 'D'};
constexpr KeyChord kX{kModControl | kModAlt, 'X'};

struct Shape {
    std::vector<KeyChord> keys;
    bool withCommand = true;
};

SequenceList ListOf(const std::vector<Shape>& shapes) {
    SequenceList list;
    for (const Shape& shape : shapes) {
        auto sequence = std::make_unique<Sequence>("S" + std::to_string(list.Size()));
        for (KeyChord key : shape.keys) {
            sequence->AppendKey(key);
        }
        if (shape.withCommand) {
            sequence->AppendCommand(std::make_unique<BuiltinCommand>(0));
        }
        list.Append(std::move(sequence));
    }
    return list;
}

}  // namespace

void PrintTo(const Conflict& conflict, std::ostream* out) {
    *out << "{kind " << static_cast<int>(conflict.kind) << ", other " << conflict.other
         << ", chord " << conflict.chord << "}";
}

namespace {

Conflict None() {
    return {};
}
Conflict BeginsWith(std::size_t other) {
    return {ConflictKind::kBeginsWith, other, 0};
}
Conflict SameChords(std::size_t other) {
    return {ConflictKind::kSameChords, other, 0};
}
Conflict Aborts(std::size_t chord) {
    return {ConflictKind::kAbortChord, 0, chord};
}

TEST(ConflictsTest, ShorterSequenceCompletesFirstWhateverTheOrder) {
    EXPECT_EQ(FindConflicts(ListOf({{{kA, kB, kD}}, {{kA, kB}}}), std::nullopt),
              (std::vector<Conflict>{BeginsWith(1), None()}));
    EXPECT_EQ(FindConflicts(ListOf({{{kA}}, {{kA, kB}}, {{kA, kB, kD}}}), std::nullopt),
              (std::vector<Conflict>{None(), BeginsWith(0), BeginsWith(0)}));
}

TEST(ConflictsTest, OnlyTheFirstOfIdenticalSequencesRuns) {
    EXPECT_EQ(FindConflicts(ListOf({{{kA, kB}}, {{kD}}, {{kA, kB}}, {{kA, kB}}}), std::nullopt),
              (std::vector<Conflict>{None(), None(), SameChords(0), SameChords(0)}));
}

TEST(ConflictsTest, AbortChordEndsTheSearchUnlessSomethingCompletedBefore) {
    EXPECT_EQ(FindConflicts(ListOf({{{kB, kX, kD}}, {{kX}}, {{kA}}, {{kA, kX}}}), kX),
              (std::vector<Conflict>{Aborts(1), Aborts(0), None(), BeginsWith(2)}));
    // Without an abort key the same chord is an ordinary one.
    EXPECT_EQ(FindConflicts(ListOf({{{kA, kX, kB}}}), std::nullopt),
              (std::vector<Conflict>{None()}));
}

TEST(ConflictsTest, SequencesTheEngineSkipsAreReportedAndShadowNothing) {
    const SequenceList list = ListOf({{{}}, {{kA}, false}, {{kA, kB}}, {{kA}, false}});
    EXPECT_EQ(FindConflicts(list, std::nullopt),
              (std::vector<Conflict>{{ConflictKind::kNoKeys, 0, 0},
                                     {ConflictKind::kNoCommands, 0, 0},
                                     None(),
                                     {ConflictKind::kNoCommands, 0, 0}}));
}

// A list built to walk deep into shared chord lists: each sequence continues a beginning of an
// earlier one, one is 200 chords long and some have no commands, so verdicts fall at every depth.
// Whatever the check keeps per chord must give the verdicts of comparing every prefix with every
// list.
TEST(ConflictsTest, LongAndSharedChordListsGetThePlainRulesVerdicts) {
    constexpr KeyChord kAltE{kModAlt, 'E'};
    std::mt19937 random(17);
    std::vector<Shape> shapes{{std::vector<KeyChord>(200, kA)}};
    for (int i = 0; i < 250; ++i) {
        const std::vector<KeyChord>& earlier = shapes[random() % shapes.size()].keys;
        std::vector<KeyChord> keys(earlier.begin(), earlier.begin() + random() % earlier.size());
        for (std::size_t more = 1 + random() % 3; more > 0; --more) {
            keys.push_back(KeyChord{kModAlt, static_cast<std::uint16_t>('A' + random() % 5)});
        }
        shapes.push_back({keys, random() % 8 != 0});
    }
    const SequenceList list = ListOf(shapes);
    for (std::optional<KeyChord> abortChord : {std::optional<KeyChord>(), std::optional(kAltE)}) {
        EXPECT_EQ(FindConflicts(list, abortChord), testing::ModelConflicts(list, abortChord));
    }
}

}  // namespace
}  // namespace pavix
