// The descriptions a desktop lists the program's shortcuts under.
#include "app/shortcut_descriptions.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"
#include "resources/ids.h"
#include "resources/string_table.h"
#include "resources/texts.h"

namespace pavix {
namespace {

constexpr KeyChord kA{kModControl, 'A'};
constexpr KeyChord kB{kModControl, 'B'};
constexpr KeyChord kC{kModControl, 'C'};
constexpr KeyChord kEscape{kModShift, 0x1B};

void Add(SequenceList& list, const std::string& name, std::vector<KeyChord> keys,
         bool commands = true) {
    auto sequence = std::make_unique<Sequence>(name);
    for (KeyChord chord : keys) {
        sequence->AppendKey(chord);
    }
    if (commands) {
        sequence->AppendCommand(std::make_unique<BuiltinCommand>(0));
    }
    list.Append(std::move(sequence));
}

TEST(ShortcutDescriptionsTest, EachChordSaysWhatItStartsAndContinues) {
    fake::FakePlatform platform;
    SequenceList list;
    Add(list, "Mail", {kA, kB});
    Add(list, "", {kA, kA, kC});  // unnamed, by its number; its second kA counts once
    Add(list, "Idle", {kC}, false);
    Add(list, "Quit", {kEscape, kA});
    const std::map<KeyChord, std::string> descriptions = DescribeChords(platform, list, kEscape);
    EXPECT_EQ(descriptions, (std::map<KeyChord, std::string>{
                                {kA, "Starts Mail, 2 / Continues 2, Quit"},
                                {kB, "Continues Mail"},
                                {kC, "Continues 2"},
                                {kEscape, "Aborts the search"},
                            }));
}

TEST(ShortcutDescriptionsTest, ManySequencesAreCountedInTheUsersLanguage) {
    fake::FakePlatform platform;
    platform.language = resources::Language::Japanese;
    SequenceList list;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        Add(list, name, {kA});
    }
    const std::string more =
        FillIn(resources::FindString(resources::Language::Japanese, ids::kTextShortcutMore),
               {"a, b, c", "2"});
    EXPECT_EQ(DescribeChords(platform, list, std::nullopt).at(kA),
              FillIn(resources::FindString(resources::Language::Japanese, ids::kTextShortcutStarts),
                     more));
}

}  // namespace
}  // namespace pavix
