// The descriptions a desktop lists the program's shortcuts under, from what the engine enabled.
#include "app/shortcut_descriptions.h"

#include <gtest/gtest.h>

#include "engine/sequence_engine.h"
#include "fake/fake_platform.h"
#include "resources/ids.h"
#include "resources/string_table.h"
#include "resources/texts.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using testing::Builtin;
using testing::SequenceSpec;

constexpr std::uint16_t kCtrl = kModControl;
const testing::Chord kA{kCtrl, 'A'}, kB{kCtrl, 'B'}, kC{kCtrl, 'C'}, kD{kCtrl, 'D'};
const testing::Chord kEscape{kModShift, 0x1B};

class ShortcutDescriptionsTest : public ::testing::Test {
  protected:
    std::map<KeyChord, std::string> Described(const std::vector<SequenceSpec>& sequences) {
        platform.files["C:\\Pavix\\Config.dat"] = testing::ConfigFileBytes(config);
        platform.files["C:\\Pavix\\Sequence.dat"] = testing::SequenceFileBytes(sequences);
        engine.Enable();
        return DescribeChords(platform, engine);
    }
    static KeyChord Key(testing::Chord chord) {
        return KeyChord{chord.modifiers, chord.virtualKey};
    }

    fake::FakePlatform platform;
    testing::ConfigSpec config;
    testing::WithErrorBoxes<SequenceEngine> engine{platform};
};

TEST_F(ShortcutDescriptionsTest, EachChordSaysWhatItStartsAndContinues) {
    config.abortEnabled = 1;
    config.abortKey = kEscape;
    platform.takenChords.insert({kCtrl, 'D'});
    const std::vector<SequenceSpec> sequences = {
        {"Mail", {kA, kB}, {Builtin(0)}},
        {"", {kA, kA, kC}, {Builtin(0)}},  // unnamed, by its number; its second kA counts once
        {"Idle", {kC}, {}},                // runs nothing: not among the engine's
        {"Quit", {kEscape, kA}, {Builtin(0)}},
        {"Taken", {kB, kD}, {Builtin(0)}},  // kD is refused: the engine cannot run it
        {"", {kC}, {Builtin(0)}},           // numbered by its place in the file
    };
    EXPECT_EQ(Described(sequences), (std::map<KeyChord, std::string>{
                                        {Key(kA), "Starts Mail, 2 / Continues 2, Quit"},
                                        {Key(kB), "Continues Mail"},
                                        {Key(kC), "Starts 6 / Continues 2"},
                                        {Key(kEscape), "Aborts the search"},
                                    }));
}

TEST_F(ShortcutDescriptionsTest, ManySequencesAreCountedInTheUsersLanguage) {
    platform.language = resources::Language::Japanese;
    std::vector<SequenceSpec> sequences;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        sequences.push_back({name, {kA}, {Builtin(0)}});
    }
    const std::string more =
        FillIn(resources::FindString(resources::Language::Japanese, ids::kTextShortcutMore),
               {"a, b, c", "2"});
    EXPECT_EQ(Described(sequences).at(Key(kA)),
              FillIn(resources::FindString(resources::Language::Japanese, ids::kTextShortcutStarts),
                     more));
}

}  // namespace
}  // namespace pavix
