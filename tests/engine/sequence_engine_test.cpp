#include "engine/sequence_engine.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;
using testing::Builtin;
using testing::ConfigSpec;
using testing::External;
using testing::SequenceSpec;

constexpr WindowHandle kWindow = 0x1234;
constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;
const char* const kConfigPath = "C:\\Pavix\\Config.dat";
const char* const kSequencePath = "C:\\Pavix\\Sequence.dat";

ConfigSpec Sounds() {
    ConfigSpec config;
    config.sounds = {"match.wav",   "mismatch.wav", "abort.wav",
                     "timeout.wav", "enable.wav",   "disable.wav"};
    return config;
}

Call Sound(const char* file) {
    return Call("PlaySoundA", file, 0, 0x22001);
}
Call Launch(const char* file) {
    return Call("ShellExecuteA", 0, nullptr, file, "", "", 5);
}

class SequenceEngineTest : public ::testing::Test {
  protected:
    void Write(const std::vector<SequenceSpec>& sequences, const ConfigSpec& config = Sounds()) {
        platform.files[kConfigPath] = testing::ConfigFileBytes(config);
        platform.files[kSequencePath] = testing::SequenceFileBytes(sequences);
    }
    void Start(const std::vector<SequenceSpec>& sequences, const ConfigSpec& config = Sounds()) {
        Write(sequences, config);
        engine.SetWindow(kWindow);
        engine.Enable();
        platform.calls.clear();
    }
    HotkeyId Id(std::uint16_t key, std::uint16_t modifiers = kCtrlAlt) {
        const auto& hotkeys = engine.Registry().Hotkeys();
        auto found = hotkeys.find(KeyChord{modifiers, key});
        return found == hotkeys.end() ? kNoHotkey : found->second;
    }
    // Presses a chord and returns what the press played and launched.
    HotkeyOutcome Press(std::uint16_t key, Calls* effects = nullptr) {
        platform.calls.clear();
        const HotkeyOutcome outcome = engine.OnHotkey(Id(key));
        if (effects) {
            *effects = platform.CallsNamed({"PlaySoundA", "ShellExecuteA"});
        }
        return outcome;
    }

    FakePlatform platform;
    testing::WithErrorBoxes<SequenceEngine> engine{platform};
};

TEST_F(SequenceEngineTest, TwoChordSequenceRunsOnTheSecondPress) {
    Start({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("run-ab")}}});
    Calls effects;
    EXPECT_EQ(Press('A', &effects), kFirstKey);
    EXPECT_EQ(effects, (Calls{Sound("match.wav")}));
    EXPECT_EQ(engine.Position(), 1u);
    EXPECT_EQ(Press('B', &effects), kDone);
    // The match sound starts before the first command runs.
    EXPECT_EQ(effects, (Calls{Sound("match.wav"), Launch("run-ab")}));
    EXPECT_TRUE(engine.CandidateIndexes().empty());
}

TEST_F(SequenceEngineTest, SameChordTwiceAndOneChordSequences) {
    Start({{"aa", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'A'}}, {External("run-aa")}},
           {"c", {{kCtrlAlt, 'C'}}, {External("run-c")}}});
    Calls effects;
    EXPECT_EQ(Press('A'), kFirstKey);
    EXPECT_EQ(Press('A', &effects), kDone);
    EXPECT_EQ(effects.back(), Launch("run-aa"));
    EXPECT_EQ(Press('C', &effects), kDone);
    EXPECT_EQ(effects, (Calls{Sound("match.wav"), Launch("run-c")}));
}

TEST_F(SequenceEngineTest, ThreeChordSequenceReportsNextKey) {
    Start({{"abc", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}, {kCtrlAlt, 'C'}}, {Builtin(kDoNothing)}}});
    EXPECT_EQ(Press('A'), kFirstKey);
    EXPECT_EQ(Press('B'), kNextKey);
    EXPECT_EQ(engine.Position(), 2u);
    EXPECT_EQ(Press('C'), kDone);
}

TEST_F(SequenceEngineTest, ShorterPrefixWinsInEitherFileOrder) {
    const SequenceSpec shorter{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("short")}};
    const SequenceSpec longer{
        "abd", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}, {kCtrlAlt, 'D'}}, {External("long")}};
    for (auto order :
         {std::vector<SequenceSpec>{shorter, longer}, std::vector<SequenceSpec>{longer, shorter}}) {
        engine.Disable();
        Start(order);
        Calls effects;
        EXPECT_EQ(Press('A'), kFirstKey);
        EXPECT_EQ(Press('B', &effects), kDone);
        EXPECT_EQ(effects.back(), Launch("short"));
        EXPECT_EQ(Press('D'), kMismatch);  // the longer one can never complete
    }
}

TEST_F(SequenceEngineTest, IdenticalSequencesRunOnlyTheFirst) {
    Start({{"one", {{kCtrlAlt, 'A'}}, {External("first")}},
           {"two", {{kCtrlAlt, 'A'}}, {External("second")}}});
    Calls effects;
    EXPECT_EQ(Press('A', &effects), kDone);
    EXPECT_EQ(effects, (Calls{Sound("match.wav"), Launch("first")}));
}

TEST_F(SequenceEngineTest, OneChordSequenceCompletesAtOnceBehindLongerOnes) {
    Start({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("long")}},
           {"a", {{kCtrlAlt, 'A'}}, {External("first")}},
           {"a again", {{kCtrlAlt, 'A'}}, {External("second")}}});
    Calls effects;
    EXPECT_EQ(Press('A', &effects), kDone);
    EXPECT_EQ(effects, (Calls{Sound("match.wav"), Launch("first")}));
    EXPECT_EQ(Press('B'), kMismatch);  // the longer one was dropped with the completion
}

TEST_F(SequenceEngineTest, MismatchEndsTheSearchAndTheNextPressStartsAfresh) {
    Start({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("run-ab")}},
           {"c", {{kCtrlAlt, 'C'}}, {External("run-c")}}});
    Calls effects;
    EXPECT_EQ(Press('A'), kFirstKey);
    EXPECT_EQ(Press('A', &effects), kMismatch);
    EXPECT_EQ(effects, (Calls{Sound("mismatch.wav")}));
    // The rejected press was not retried as a first key; this one starts a new search.
    EXPECT_EQ(Press('A'), kFirstKey);
    EXPECT_EQ(Press('B'), kDone);
    // A chord that only occurs as a non-first chord mismatches while idle.
    EXPECT_EQ(Press('B', &effects), kMismatch);
    EXPECT_EQ(effects, (Calls{Sound("mismatch.wav")}));
    // A press during a search that fits no candidate drops them all.
    EXPECT_EQ(Press('A'), kFirstKey);
    EXPECT_EQ(Press('C'), kMismatch);
    EXPECT_TRUE(engine.CandidateIndexes().empty());
}

TEST_F(SequenceEngineTest, CandidatesKeepTheMatcherOrder) {
    Start({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"cd", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'D'}}, {Builtin(0)}},
           {"ae", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'E'}}, {Builtin(0)}},
           {"af", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'F'}, {kCtrlAlt, 'G'}}, {Builtin(0)}}});
    EXPECT_EQ(Press('A'), kFirstKey);
    EXPECT_EQ(engine.CandidateIndexes(), (std::vector<std::size_t>{0, 2, 3}));
    EXPECT_EQ(Press('F'), kNextKey);
    EXPECT_EQ(engine.CandidateIndexes(), (std::vector<std::size_t>{3}));
}

TEST_F(SequenceEngineTest, AbortComesFirstEvenInsideASequence) {
    ConfigSpec config = Sounds();
    config.abortEnabled = 1;
    config.abortKey = {kCtrlAlt, 'A'};
    Start({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("never")}},
           {"cb", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'B'}}, {External("cb")}}},
          config);
    EXPECT_EQ(engine.AbortId(), 0);
    Calls effects;
    EXPECT_EQ(Press('A', &effects), kAborted);
    EXPECT_EQ(effects, (Calls{Sound("abort.wav")}));
    EXPECT_EQ(Press('C'), kFirstKey);
    EXPECT_EQ(Press('A'), kAborted);
    EXPECT_TRUE(engine.CandidateIndexes().empty());
    EXPECT_EQ(Press('B'), kMismatch);
}

TEST_F(SequenceEngineTest, TimeoutEndsTheSearch) {
    Start({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("run")}}});
    EXPECT_EQ(Press('A'), kFirstKey);
    platform.calls.clear();
    engine.Timeout();
    EXPECT_EQ(platform.CallsNamed("PlaySoundA"), (Calls{Sound("timeout.wav")}));
    EXPECT_EQ(Press('B'), kMismatch);
}

TEST_F(SequenceEngineTest, DisableHotkeyThenExitFoldsToExit) {
    Start({{"x",
            {{kCtrlAlt, 'X'}},
            {Builtin(kDisableHotkey), Builtin(kExitPavix), External("after")}}});
    Calls effects;
    EXPECT_EQ(Press('X', &effects), kExitProgram);
    EXPECT_EQ(effects, (Calls{Sound("match.wav"), Launch("after")}));
    // Exit does not disable: the hotkeys go when the window's owner is destroyed.
    EXPECT_FALSE(platform.hotkeys.empty());
}

TEST_F(SequenceEngineTest, DisableHotkeyAloneDisablesWithTheSound) {
    Start({{"x", {{kCtrlAlt, 'X'}}, {Builtin(kDisableHotkey)}}});
    Calls effects;
    EXPECT_EQ(Press('X', &effects), kDisableHotkeys);
    EXPECT_EQ(effects, (Calls{Sound("match.wav"), Sound("disable.wav")}));
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(engine.MatcherCount(), 0u);
    EXPECT_TRUE(engine.Registry().Hotkeys().empty());
}

TEST_F(SequenceEngineTest, FailedCommandStillEndsAsDone) {
    Start({{"x", {{kCtrlAlt, 'X'}}, {External("missing"), External("next")}}});
    platform.Script("ShellExecuteA", 2, kErrorFileNotFound,
                    [](const Call& call) { return call.args[2] == "\"missing\""; });
    Calls effects;
    EXPECT_EQ(Press('X', &effects), kDone);
    EXPECT_EQ(effects.back(), Launch("next"));
    EXPECT_EQ(platform.messageBoxes.size(), 1u);
}

TEST_F(SequenceEngineTest, EmptySoundPathPlaysNothing) {
    Start({{"x", {{kCtrlAlt, 'X'}}, {Builtin(0)}}}, ConfigSpec{});
    Calls effects;
    EXPECT_EQ(Press('X', &effects), kDone);
    EXPECT_TRUE(effects.empty());
}

TEST_F(SequenceEngineTest, DisableDuringACommandsModalLoopIsSafe) {
    Start({{"x", {{kCtrlAlt, 'X'}}, {External("fails"), External("second")}}});
    platform.Script("ShellExecuteA", 2, kErrorFileNotFound,
                    [](const Call& call) { return call.args[2] == "\"fails\""; });
    // The error box of the first command stands for any modal loop: the user disables Pavix from
    // the tray menu while it is open.
    platform.Script("MessageBoxA", 1, 0, [this](const Call&) {
        engine.Disable();
        return true;
    });
    Calls effects;
    EXPECT_EQ(Press('X', &effects), kDone);
    EXPECT_EQ(effects.back(), Launch("second"));
    EXPECT_EQ(engine.MatcherCount(), 0u);
}

}  // namespace
}  // namespace pavix
