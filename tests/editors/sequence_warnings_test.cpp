#include "editors/sequence_warnings.h"

#include <gtest/gtest.h>

#include <memory>

#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;

constexpr WindowHandle kDialog = 0x5555;
constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;

KeyChord Chord(char key) {
    return KeyChord{kCtrlAlt, static_cast<std::uint16_t>(key)};
}

// Sequences named as given, each with the chords of its letters and, unless told, one command.
SequenceList List(std::initializer_list<std::pair<const char*, const char*>> sequences,
                  const char* withoutCommands = "") {
    SequenceList list;
    for (const auto& [name, keys] : sequences) {
        auto sequence = std::make_unique<Sequence>(name);
        for (const char* key = keys; *key != '\0'; ++key) {
            sequence->AppendKey(Chord(*key));
        }
        if (std::string(withoutCommands) != name) {
            sequence->AppendCommand(std::make_unique<BuiltinCommand>(kDoNothing));
        }
        list.Append(std::move(sequence));
    }
    return list;
}

class SequenceWarningsTest : public ::testing::Test {
  protected:
    // The reason of every sequence, after one update.
    std::vector<std::string> Reasons(const SequenceList& list,
                                     std::optional<KeyChord> abortChord = std::nullopt) {
        SequenceWarnings warnings(platform, abortChord);
        warnings.Update(list, kDialog);
        std::vector<std::string> reasons;
        for (std::size_t i = 0; i < list.Size(); ++i) {
            EXPECT_EQ(warnings.Marked(i), !warnings.Reason(list, i).empty()) << i;
            reasons.push_back(warnings.Reason(list, i));
        }
        return reasons;
    }
    fake::FakePlatform platform;
};

TEST_F(SequenceWarningsTest, EachWayOfNeverRunningIsToldNamingTheSequenceThatRunsInstead) {
    const SequenceList list = List({{"Open notes", "PN"},
                                    {"Lock", "PL"},
                                    {"Copy of notes", "PN"},
                                    {"Lock and more", "PLX"},
                                    {"Aborted", "PQN"},
                                    {"Keyless", ""},
                                    {"Idle", "PI"}},
                                   "Idle");
    EXPECT_EQ(Reasons(list, Chord('Q')),
              (std::vector<std::string>{
                  "",
                  "",
                  "Never runs: \"Open notes\" completes first on the same keys.",
                  "Never runs: it begins with all the keys of \"Lock\", which completes first.",
                  "Never completes: key 2 is the abort key.",
                  "Never runs: it has no keys.",
                  "Never runs: it has no commands.",
              }));
    // Without the abort key's switch the chord is one like any other.
    EXPECT_EQ(Reasons(list)[4], "");
    platform.language = resources::Language::Japanese;
    // "実行されません: 「Lock」のキーをすべて含んで始まるため、「Lock」が先に完了します。"
    const std::string beginsWith = Reasons(list)[3];
    EXPECT_EQ(beginsWith.find("%1"), std::string::npos);
    EXPECT_NE(beginsWith.find("\x81\x75Lock\x81\x76\x82\xCC"), std::string::npos);
    EXPECT_NE(beginsWith.find("\x81\x75Lock\x81\x76\x82\xAA"), std::string::npos);
}

// A chord of a bare key runs, so the sequence is not marked, but the user is told what it costs.
TEST_F(SequenceWarningsTest, ChordsWithoutAModifierAreNamedOnceWithoutAMark) {
    SequenceList list = List({{"Bare", "A"}, {"Same", "A"}});
    for (Sequence* sequence : {&list.At(0), &list.At(1)}) {
        sequence->AppendKey(KeyChord{0, 0x70});
        sequence->AppendKey(KeyChord{kModShift, 'X'});
        sequence->AppendKey(KeyChord{0, 0x70});
        sequence->AppendKey(KeyChord{0, 'Q'});
    }
    SequenceWarnings warnings(platform, std::nullopt);
    warnings.Update(list, kDialog);
    const std::string bare =
        "No modifier on +F1, +Q: it is not heard over programs run as administrator, and "
        "other programs lose that key while Pavix is enabled.";
    EXPECT_FALSE(warnings.Marked(0));
    EXPECT_EQ(warnings.Reason(list, 0), bare);
    EXPECT_TRUE(warnings.Marked(1));
    EXPECT_EQ(warnings.Reason(list, 1),
              "Never runs: \"Bare\" completes first on the same keys.\r\n" + bare);
}

TEST_F(SequenceWarningsTest, ChordsHeldElsewhereAreTriedOnceEachAndNamed) {
    platform.takenChords.insert({kCtrlAlt, 'G'});
    platform.takenChords.insert({kCtrlAlt, 'H'});
    SequenceList list = List({{"Go", "PG"}, {"Twice", "GHG"}, {"Free", "PF"}, {"Same", "PF"}});
    SequenceWarnings warnings(platform, std::nullopt);
    warnings.Update(list, kDialog);
    // P, G, H, F: each once; a free one is given back at once, under the probe's id.
    EXPECT_EQ(platform.CallsNamed({"RegisterHotKey", "UnregisterHotKey"}),
              (Calls{Call("RegisterHotKey", kDialog, kProbeHotkeyId, kCtrlAlt, 'P'),
                     Call("UnregisterHotKey", kDialog, kProbeHotkeyId),
                     Call("RegisterHotKey", kDialog, kProbeHotkeyId, kCtrlAlt, 'G'),
                     Call("RegisterHotKey", kDialog, kProbeHotkeyId, kCtrlAlt, 'H'),
                     Call("RegisterHotKey", kDialog, kProbeHotkeyId, kCtrlAlt, 'F'),
                     Call("UnregisterHotKey", kDialog, kProbeHotkeyId)}));
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(warnings.Reason(list, 0), "Never runs while another program holds [C][A]+G.");
    EXPECT_EQ(warnings.Reason(list, 1),
              "Never runs while another program holds [C][A]+G, [C][A]+H.");
    EXPECT_FALSE(warnings.Marked(2));
    EXPECT_EQ(warnings.Reason(list, 3), "Never runs: \"Free\" completes first on the same keys.");

    // The answers are kept: a later update tries only chords it has not seen, and a chord the
    // platform refuses for another reason is not taken for a held one. A sequence that can never
    // run for several reasons is told each, held chords before other refusals.
    platform.calls.clear();
    platform.takenChords.clear();
    list.At(2).AppendKey(Chord('Z'));
    list.At(2).AppendKey(Chord('G'));
    platform.Script("RegisterHotKey", 0, 1400);
    warnings.Update(list, kDialog);
    EXPECT_EQ(platform.CallsNamed("RegisterHotKey"),
              (Calls{Call("RegisterHotKey", kDialog, kProbeHotkeyId, kCtrlAlt, 'Z')}));
    EXPECT_EQ(warnings.Reason(list, 2),
              "Never runs: it begins with all the keys of \"Same\", which completes first.\r\n"
              "Never runs while another program holds [C][A]+G.\r\n"
              "Never runs: the system refuses to register [C][A]+Z (error 1400).");
    EXPECT_EQ(warnings.Reason(list, 3), "");
}

// A chord the platform takes for no hotkey keeps its sequence from running as surely as a held
// one: the sequence is marked, and the reason names the chords with the platform's error and its
// own words for it when it has them, one line per error.
TEST_F(SequenceWarningsTest, ChordsRefusedForAnyReasonAreMarkedWithTheRefusal) {
    const auto refuse = [this](char key, std::uint32_t error) {
        platform.Script("RegisterHotKey", 0, error, [key](const fake::Call& call) {
            return call.args[3] == std::to_string(key);
        });
    };
    refuse('F', kErrorInvalidFlags);
    refuse('K', kErrorInvalidFlags);
    refuse('W', kErrorInvalidParameter);
    platform.systemMessages[kErrorInvalidFlags] = "Invalid flags.\r\n";
    const SequenceList list = List({{"Flags", "PF"}, {"Both", "WFKF"}, {"Fine", "PQ"}});
    SequenceWarnings warnings(platform, std::nullopt);
    EXPECT_TRUE(warnings.Update(list, kDialog));
    EXPECT_TRUE(warnings.Marked(0));
    EXPECT_TRUE(warnings.Marked(1));
    EXPECT_FALSE(warnings.Marked(2));
    EXPECT_EQ(warnings.Reason(list, 0),
              "Never runs: the system refuses to register [C][A]+F (error 1004). Invalid flags.");
    EXPECT_EQ(warnings.Reason(list, 1),
              "Never runs: the system refuses to register [C][A]+W (error 87).\r\n"
              "Never runs: the system refuses to register [C][A]+F, [C][A]+K (error 1004). Invalid "
              "flags.");
    EXPECT_EQ(platform.OutstandingAllocations(), 0);
}

}  // namespace
}  // namespace pavix
