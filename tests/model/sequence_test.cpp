#include "model/sequence.h"

#include <gtest/gtest.h>

#include <limits>

namespace pavix {
namespace {

const ExternalCommand& External(const Command& command) {
    return static_cast<const ExternalCommand&>(command);
}

Sequence& FillSample(Sequence& sequence) {
    sequence.AppendKey(KeyChord{kModControl, 'A'});
    sequence.AppendKey(KeyChord{kModControl, 'B'});
    sequence.AppendCommand(std::make_unique<BuiltinCommand>(kLockSystem));
    sequence.AppendCommand(std::make_unique<BuiltinCommand>(kDoNothing));
    sequence.AppendCommand(std::make_unique<ExternalCommand>("p", "a", "d"));
    return sequence;
}

TEST(SequenceTest, KeyEditsKeepOrderAndIgnoreBadIndexes) {
    Sequence sequence;
    sequence.AppendKey(KeyChord{0, 1});
    sequence.AppendKey(KeyChord{0, 2});
    sequence.AppendKey(KeyChord{0, 2});  // repeats are valid
    sequence.ReplaceKey(0, KeyChord{0, 9});
    sequence.ReplaceKey(7, KeyChord{0, 9});
    sequence.RemoveKey(1);
    sequence.RemoveKey(5);
    ASSERT_EQ(sequence.Keys().size(), 2u);
    EXPECT_EQ(sequence.Keys()[0].keyCode, 9);
    EXPECT_EQ(sequence.Keys()[1].keyCode, 2);
}

TEST(SequenceTest, MovesSwapWithNeighboursAndRefuseAtTheEnds) {
    Sequence sequence;
    sequence.AppendKey(KeyChord{0, 1});
    EXPECT_FALSE(sequence.MoveKeyUp(0));
    EXPECT_FALSE(sequence.MoveKeyDown(0));
    sequence.AppendKey(KeyChord{0, 2});
    EXPECT_TRUE(sequence.MoveKeyDown(0));
    EXPECT_EQ(sequence.Keys()[0].keyCode, 2);
    EXPECT_FALSE(sequence.MoveKeyDown(1));
    EXPECT_TRUE(sequence.MoveKeyUp(1));
    EXPECT_EQ(sequence.Keys()[0].keyCode, 1);
    EXPECT_FALSE(sequence.MoveKeyUp(5));

    FillSample(sequence);
    EXPECT_TRUE(sequence.MoveCommandUp(2));
    EXPECT_FALSE(sequence.Commands()[1]->IsBuiltin());
    EXPECT_FALSE(sequence.MoveCommandDown(2));
}

// The largest index is out of range like any other: `index + 1` must not wrap round to the first
// element.
TEST(SequenceTest, MoveDownFromTheLargestIndexChangesNothing) {
    constexpr std::size_t kLargest = std::numeric_limits<std::size_t>::max();
    Sequence sequence;
    FillSample(sequence);
    const std::vector<KeyChord> keys = sequence.Keys();
    std::vector<const Command*> commands;
    for (const auto& command : sequence.Commands()) {
        commands.push_back(command.get());
    }
    EXPECT_FALSE(sequence.MoveKeyDown(kLargest));
    EXPECT_FALSE(sequence.MoveCommandDown(kLargest));
    EXPECT_EQ(sequence.Keys(), keys);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(sequence.Commands()[i].get(), commands[i]) << i;
    }

    SequenceList list;
    list.AddSequence();
    list.AddSequence();
    list.At(0).SetName("first");
    EXPECT_FALSE(list.MoveSequenceDown(kLargest));
    EXPECT_EQ(list.At(0).Name(), "first");
    EXPECT_EQ(list.At(1).Name(), "Sequence");
}

TEST(SequenceTest, CommandsAreOwnedAndReplaced) {
    Sequence sequence;
    FillSample(sequence);
    sequence.ReplaceCommand(0, std::make_unique<ExternalCommand>("x", "", ""));
    sequence.RemoveCommand(1);
    ASSERT_EQ(sequence.Commands().size(), 2u);
    EXPECT_EQ(External(*sequence.Commands()[0]).Path(), "x");
    sequence.Clear();
    EXPECT_TRUE(sequence.Commands().empty());
    EXPECT_TRUE(sequence.Keys().empty());
}

TEST(SequenceListTest, AddAppendsSequenceNamedSequence) {
    SequenceList list;
    EXPECT_EQ(list.AddSequence(), 0u);
    EXPECT_EQ(list.AddSequence(), 1u);
    EXPECT_EQ(list.At(1).Name(), "Sequence");
    EXPECT_TRUE(list.At(1).Keys().empty());
}

TEST(SequenceListTest, DuplicateIsDeepAndGoesToTheEnd) {
    SequenceList list;
    list.AddSequence();
    FillSample(list.At(0));
    list.AddSequence();
    EXPECT_EQ(list.DuplicateSequence(0), 2u);
    Sequence& copy = list.At(2);
    EXPECT_EQ(copy.Name(), "Sequence$");
    EXPECT_EQ(copy.Keys(), list.At(0).Keys());
    ASSERT_EQ(copy.Commands().size(), 3u);
    EXPECT_NE(copy.Commands()[2].get(), list.At(0).Commands()[2].get());
    EXPECT_EQ(External(*copy.Commands()[2]).Path(), "p");
    copy.RemoveCommand(0);
    EXPECT_EQ(list.At(0).Commands().size(), 3u);

    EXPECT_EQ(list.DuplicateSequence(2), 3u);
    EXPECT_EQ(list.At(3).Name(), "Sequence$$");
    EXPECT_EQ(list.DuplicateSequence(9), 4u);  // nothing to copy
    EXPECT_EQ(list.Size(), 4u);
}

TEST(SequenceListTest, RemoveAndMoveIgnoreIndexesOutsideTheList) {
    SequenceList list;
    list.AddSequence();
    list.At(0).SetName("a");
    EXPECT_FALSE(list.MoveSequenceUp(0));
    EXPECT_FALSE(list.MoveSequenceDown(0));
    list.AddSequence();
    EXPECT_TRUE(list.MoveSequenceDown(0));
    EXPECT_EQ(list.At(1).Name(), "a");
    list.RemoveSequence(4);
    EXPECT_EQ(list.Size(), 2u);
    list.RemoveSequence(1);
    list.RemoveSequence(0);
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace pavix
