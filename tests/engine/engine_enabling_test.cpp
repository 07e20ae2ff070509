#include <gtest/gtest.h>

#include <cstdint>

#include "engine/sequence_engine.h"
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

ConfigSpec WithAbort(std::uint16_t key) {
    ConfigSpec config;
    config.sounds = {"m", "mm", "a", "t", "e", "d"};
    config.abortEnabled = 1;
    config.abortKey = {kCtrlAlt, key};
    return config;
}

class EngineEnablingTest : public ::testing::Test {
  protected:
    EngineEnablingTest() { engine.SetWindow(kWindow); }
    void Write(const std::vector<SequenceSpec>& sequences,
               const ConfigSpec& config = ConfigSpec{}) {
        platform.files[kConfigPath] = testing::ConfigFileBytes(config);
        platform.files[kSequencePath] = testing::SequenceFileBytes(sequences);
    }
    FakePlatform platform;
    testing::WithErrorBoxes<SequenceEngine> engine{platform};
};

TEST_F(EngineEnablingTest, AbortChordGetsIdZeroThenSequenceChordsInOrder) {
    Write({{"s", {{kCtrlAlt, 'B'}, {kCtrlAlt, 'A'}}, {Builtin(0)}}}, WithAbort('Z'));
    EXPECT_TRUE(engine.Enable());
    EXPECT_EQ(platform.CallsNamed("RegisterHotKey"),
              (Calls{Call("RegisterHotKey", kWindow, 0, 3, 'Z'),
                     Call("RegisterHotKey", kWindow, 1, 3, 'B'),
                     Call("RegisterHotKey", kWindow, 2, 3, 'A')}));
    EXPECT_EQ(engine.AbortId(), 0);
    ASSERT_EQ(engine.MatcherCount(), 1u);
    EXPECT_EQ(engine.Matcher(0).Keys(), (std::vector<HotkeyId>{1, 2}));
    EXPECT_TRUE(platform.CallsNamed("PlaySoundA").empty());  // the silent form
}

// The stored switch is an integer: every nonzero value turns the abort chord on, not only 1.
TEST_F(EngineEnablingTest, AnyNonzeroAbortSwitchRegistersTheAbortChord) {
    for (std::int32_t stored : {2, -1, INT32_MIN, 0}) {
        ConfigSpec config = WithAbort('Z');
        config.abortEnabled = stored;
        Write({{"s", {{kCtrlAlt, 'A'}}, {Builtin(0)}}}, config);
        ASSERT_TRUE(engine.Enable()) << stored;
        EXPECT_EQ(engine.AbortId(), stored != 0 ? 0 : kNoHotkey) << stored;
        EXPECT_EQ(platform.hotkeys.size(), stored != 0 ? 2u : 1u) << stored;
    }
}

TEST_F(EngineEnablingTest, SequenceWithARefusedChordIsLeftOutButKeepsItsEarlierChords) {
    platform.takenChords.insert({kCtrlAlt, 'B'});
    Write({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"cb", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"d", {{kCtrlAlt, 'D'}}, {Builtin(0)}}});
    EXPECT_TRUE(engine.Enable());
    EXPECT_EQ(engine.MatcherCount(), 1u);
    // One message per failing attempt: the refused chord is tried again by the next sequence.
    ASSERT_EQ(platform.messageBoxes.size(), 2u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Failed to register Hotkey : [C][A]+B");
    const auto& hotkeys = engine.Registry().Hotkeys();
    EXPECT_EQ(hotkeys.size(), 3u);
    EXPECT_EQ(platform.hotkeys.size(), 3u);
    // The orphaned first chord only mismatches.
    EXPECT_EQ(engine.OnHotkey(hotkeys.at(KeyChord{kCtrlAlt, 'A'})), kMismatch);
    EXPECT_EQ(engine.OnHotkey(hotkeys.at(KeyChord{kCtrlAlt, 'D'})), kDone);
}

TEST_F(EngineEnablingTest, RefusedAbortChordLeavesNoAbortHotkey) {
    platform.takenChords.insert({kCtrlAlt, 'Z'});
    Write({{"s", {{kCtrlAlt, 'A'}}, {Builtin(0)}}}, WithAbort('Z'));
    EXPECT_TRUE(engine.Enable());
    EXPECT_EQ(engine.AbortId(), kNoHotkey);
    EXPECT_EQ(engine.Matcher(0).Keys(), (std::vector<HotkeyId>{0}));
    EXPECT_EQ(platform.messageBoxes.size(), 1u);
}

TEST_F(EngineEnablingTest, SequencesWithoutKeysOrCommandsAreSkippedSilently) {
    Write({{"no keys", {}, {Builtin(0)}},
           {"no commands", {{kCtrlAlt, 'A'}}, {}},
           {"usable", {{kCtrlAlt, 'B'}}, {Builtin(0)}}});
    EXPECT_TRUE(engine.Enable());
    EXPECT_EQ(engine.MatcherCount(), 1u);
    EXPECT_EQ(engine.Registry().Hotkeys().size(), 1u);
    EXPECT_TRUE(platform.messageBoxes.empty());
}

// Once the pass lets the skipped and refused records go, each matcher still has its own name and
// commands, whichever records stood around it.
TEST_F(EngineEnablingTest, MatchersKeepTheirNamesAndCommandsWithoutTheOtherRecords) {
    platform.takenChords.insert({kCtrlAlt, 'T'});
    Write({{"skipped first", {}, {Builtin(0)}},
           {"a", {{kCtrlAlt, 'A'}}, {External("a.exe", "-a", "C:\\A")}},
           {"skipped", {{kCtrlAlt, 'S'}}, {}},
           {"bb", {{kCtrlAlt, 'B'}}, {External("b.exe")}},
           {"ccc", {{kCtrlAlt, 'C'}}, {Builtin(0), External("c.exe")}},
           {"refused", {{kCtrlAlt, 'T'}}, {External("t.exe")}},
           {"", {{kCtrlAlt, 'D'}}, {External("d.exe")}},
           {"skipped last", {{kCtrlAlt, 'L'}}, {}}});
    engine.Enable();
    ASSERT_EQ(engine.MatcherCount(), 4u);
    const char* const names[] = {"a", "bb", "ccc", ""};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(engine.Matcher(i).Name(), names[i]);
    }
    platform.calls.clear();
    for (const char key : {'A', 'B', 'C', 'D'}) {
        const HotkeyId id = engine.Registry().Hotkeys().at(KeyChord{kCtrlAlt, std::uint16_t(key)});
        EXPECT_EQ(engine.OnHotkey(id), kDone) << key;
    }
    EXPECT_EQ(platform.CallsNamed("ShellExecuteA"),
              (Calls{Call("ShellExecuteA", 0, nullptr, "a.exe", "-a", "C:\\A", 5),
                     Call("ShellExecuteA", 0, nullptr, "b.exe", "", "", 5),
                     Call("ShellExecuteA", 0, nullptr, "c.exe", "", "", 5),
                     Call("ShellExecuteA", 0, nullptr, "d.exe", "", "", 5)}));
}

TEST_F(EngineEnablingTest, SharedChordIsRegisteredOnceForBothMatchers) {
    Write({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"ac", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'C'}}, {Builtin(0)}}});
    engine.Enable();
    EXPECT_EQ(platform.CallsNamed("RegisterHotKey").size(), 3u);
    EXPECT_EQ(engine.Matcher(0).Keys()[0], engine.Matcher(1).Keys()[0]);
}

TEST_F(EngineEnablingTest, EnablingAgainLeavesExactlyOneSetOfRegistrations) {
    Write({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}}}, WithAbort('Z'));
    engine.Enable();
    EXPECT_EQ(engine.OnHotkey(1), kFirstKey);
    engine.Enable();
    EXPECT_EQ(platform.hotkeys.size(), 3u);
    EXPECT_EQ(engine.MatcherCount(), 1u);
    EXPECT_TRUE(engine.CandidateIndexes().empty());  // enabling drops the search
    engine.Disable();
    engine.Enable();
    EXPECT_EQ(platform.hotkeys.size(), 3u);
    EXPECT_EQ(engine.Registry().Hotkeys().size(), 3u);
}

TEST_F(EngineEnablingTest, NewSequencesReplaceTheOldOnesForTheFirstKey) {
    Write({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"cd", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'D'}}, {Builtin(0)}}});
    engine.Enable();
    engine.Disable();
    EXPECT_EQ(engine.OnHotkey(0), kMismatch);  // nothing is enabled: no sequence begins with it
    // The same ids now stand for other chords and begin other sequences.
    Write({{"c", {{kCtrlAlt, 'C'}}, {Builtin(0)}},
           {"xy", {{kCtrlAlt, 'X'}, {kCtrlAlt, 'Y'}}, {Builtin(0)}},
           {"xz", {{kCtrlAlt, 'X'}, {kCtrlAlt, 'Z'}}, {Builtin(0)}}});
    engine.Enable();
    EXPECT_EQ(engine.OnHotkey(0), kDone);
    EXPECT_EQ(engine.OnHotkey(1), kFirstKey);
    EXPECT_EQ(engine.CandidateIndexes(), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(engine.OnHotkey(2), kDone);  // Y, not B
}

TEST_F(EngineEnablingTest, ManyDistinctChordsEachKeepTheirOwnId) {
    std::vector<SequenceSpec> sequences;
    for (std::uint16_t key = 0; key < 300; ++key) {
        sequences.push_back({"s", {{kModAlt, key}, {kModControl, 'A'}}, {Builtin(0)}});
    }
    Write(sequences);
    engine.Enable();
    const auto& hotkeys = engine.Registry().Hotkeys();
    ASSERT_EQ(hotkeys.size(), 301u);
    EXPECT_EQ(platform.CallsNamed("RegisterHotKey").size(), 301u);
    for (std::uint16_t key = 0; key < 300; ++key) {
        EXPECT_EQ(engine.Matcher(key).Keys(),
                  (std::vector<HotkeyId>{hotkeys.at(KeyChord{kModAlt, key}),
                                         hotkeys.at(KeyChord{kModControl, 'A'})}));
    }
}

// Each registration error box runs a modal loop in which hotkeys still arrive.
TEST_F(EngineEnablingTest, PressesDuringAnErrorBoxSeeTheSequencesReadSoFar) {
    platform.takenChords.insert({kCtrlAlt, 'T'});
    Write({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"ct", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'T'}}, {Builtin(0)}},
           {"ac", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'C'}}, {Builtin(0)}},
           {"d", {{kCtrlAlt, 'D'}}, {Builtin(0)}}});
    HotkeyId a = kNoHotkey;
    HotkeyId c = kNoHotkey;
    platform.Script("MessageBoxA", 1, 0, [&](const Call&) {
        a = engine.Registry().Hotkeys().at(KeyChord{kCtrlAlt, 'A'});
        c = engine.Registry().Hotkeys().at(KeyChord{kCtrlAlt, 'C'});
        EXPECT_EQ(engine.OnHotkey(c), kMismatch);  // "ct" is not there, not even in part
        EXPECT_EQ(engine.OnHotkey(a), kFirstKey);
        return true;
    });
    engine.Enable();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    // The search begun in the box goes on with the candidates it had, not with "ac".
    EXPECT_EQ(engine.CandidateIndexes(), (std::vector<std::size_t>{0}));
    EXPECT_EQ(engine.OnHotkey(c), kMismatch);
    EXPECT_EQ(engine.OnHotkey(a), kFirstKey);
    EXPECT_EQ(engine.OnHotkey(c), kDone);
}

// A Disable reached from a box of the pass ends the pass: no chord of a later sequence is
// registered behind a disabled engine, where its presses would be swallowed for nothing.
TEST_F(EngineEnablingTest, DisableFromAnErrorBoxEndsThePassThatShowedIt) {
    platform.takenChords.insert({kCtrlAlt, 'T'});
    Write({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"ct", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'T'}}, {Builtin(0)}},
           {"dx", {{kCtrlAlt, 'D'}, {kCtrlAlt, 'X'}}, {Builtin(0)}}},
          WithAbort('T'));
    // The first box tells of the abort chord, the second of "ct".
    int boxes = 0;
    int disableAt = 0;
    platform.Script("MessageBoxA", 1, 0, [&](const Call&) {
        if (++boxes == disableAt) {
            engine.Disable();
        }
        return true;
    });
    for (disableAt = 1; disableAt <= 2; ++disableAt) {
        boxes = 0;
        platform.calls.clear();
        engine.Enable();
        EXPECT_FALSE(engine.Enabled()) << disableAt;
        EXPECT_EQ(engine.MatcherCount(), 0u) << disableAt;
        EXPECT_EQ(engine.AbortId(), kNoHotkey) << disableAt;
        EXPECT_TRUE(platform.hotkeys.empty()) << disableAt;
        EXPECT_EQ(boxes, disableAt);
        // T for the abort chord; then A, B, C and T again.
        EXPECT_EQ(platform.CallsNamed("RegisterHotKey").size(), disableAt == 1 ? 1u : 5u);
    }
}

// An Enable from an error box builds the whole list afresh; the pass that showed the box then
// adds nothing more to it.
TEST_F(EngineEnablingTest, EnableFromAnErrorBoxEndsThePassThatShowedIt) {
    platform.takenChords.insert({kCtrlAlt, 'T'});
    Write({{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(0)}},
           {"ct", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'T'}}, {Builtin(0)}},
           {"ba", {{kCtrlAlt, 'B'}, {kCtrlAlt, 'A'}}, {Builtin(0)}}});
    bool nested = false;
    platform.Script("MessageBoxA", 1, 0, [&](const Call&) {
        if (!nested) {  // the inner pass shows its own box
            nested = true;
            engine.Enable();
        }
        return true;
    });
    engine.Enable();
    ASSERT_EQ(engine.MatcherCount(), 2u);
    EXPECT_EQ(engine.Matcher(0).Name(), "ab");
    EXPECT_EQ(engine.Matcher(1).Name(), "ba");
    const auto& hotkeys = engine.Registry().Hotkeys();
    EXPECT_EQ(engine.OnHotkey(hotkeys.at(KeyChord{kCtrlAlt, 'B'})), kFirstKey);
    EXPECT_EQ(engine.OnHotkey(hotkeys.at(KeyChord{kCtrlAlt, 'A'})), kDone);
}

TEST_F(EngineEnablingTest, NoSequenceFileAndNoAbortKeyRegistersNothing) {
    EXPECT_FALSE(engine.Enable());
    EXPECT_TRUE(platform.CallsNamed({"RegisterHotKey", "PlaySoundA", "MessageBoxA"}).empty());
    EXPECT_EQ(platform.files.count(kSequencePath), 0u);
}

TEST_F(EngineEnablingTest, NoSequenceFileKeepsTheAbortHotkey) {
    platform.files[kConfigPath] = testing::ConfigFileBytes(WithAbort('Z'));
    EXPECT_FALSE(engine.Enable());
    EXPECT_EQ(engine.AbortId(), 0);
    EXPECT_EQ(engine.OnHotkey(0), kAborted);
}

TEST_F(EngineEnablingTest, UnusableConfigDisablesWithTheDisableSound) {
    Write({{"a", {{kCtrlAlt, 'A'}}, {Builtin(0)}}}, WithAbort('Z'));
    engine.Enable();
    platform.files[kConfigPath] = "";
    platform.calls.clear();
    engine.EnableAndNotify();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Data file format is Invalid");
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(engine.MatcherCount(), 0u);
    // The failed load left the record as it was, so its sounds still play: disable, then the
    // enable sound that EnableAndNotify asks for whatever Enable did.
    EXPECT_EQ(platform.CallsNamed({"PlaySoundA", "RegisterHotKey"}),
              (Calls{Call("PlaySoundA", "d", 0, 0x22001), Call("PlaySoundA", "e", 0, 0x22001)}));
}

TEST_F(EngineEnablingTest, InvalidSequenceFileDisablesAfterItsMessage) {
    platform.files[kConfigPath] = testing::ConfigFileBytes(WithAbort('Z'));
    platform.files[kSequencePath] = "not a sequence file";
    platform.calls.clear();
    EXPECT_FALSE(engine.Enable());
    EXPECT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_TRUE(platform.hotkeys.empty());  // the abort hotkey went too
    EXPECT_EQ(platform.CallsNamed("PlaySoundA"), (Calls{Call("PlaySoundA", "d", 0, 0x22001)}));
}

TEST_F(EngineEnablingTest, DamagedRecordIsReportedOnceAndEarlierRecordsStay) {
    std::string bytes = testing::SequenceFileBytes({{"a", {{kCtrlAlt, 'A'}}, {Builtin(0)}}});
    bytes += testing::SequenceRecord({"bad", {{kCtrlAlt, 'B'}}, {Builtin(16)}});
    bytes += testing::SequenceRecord({"c", {{kCtrlAlt, 'C'}}, {Builtin(0)}});
    platform.files[kSequencePath] = bytes;
    EXPECT_TRUE(engine.Enable());
    EXPECT_EQ(engine.MatcherCount(), 1u);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Data file format is Invalid");
}

// A box's modal loop lets the user reach the files, so none may be held open while one shows;
// the boxes keep their order: refused chords as met, then the damaged record.
TEST_F(EngineEnablingTest, NoDataFileIsHeldOpenWhileABoxIsShown) {
    std::string refusedThenDamaged = testing::SequenceFileBytes(
        {{"a", {{kCtrlAlt, 'A'}}, {Builtin(0)}}, {"taken", {{kCtrlAlt, 'T'}}, {Builtin(0)}}});
    refusedThenDamaged += testing::SequenceRecord({"bad", {{kCtrlAlt, 'B'}}, {Builtin(16)}});
    const std::string config = testing::ConfigFileBytes(WithAbort('Z'));
    struct Case {
        const char* what;
        std::string config;
        std::string sequences;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"unusable Config.dat", "", refusedThenDamaged, {"Data file format is Invalid"}},
        {"Sequence.dat of version 2",
         config,
         std::string("\x07\x08PavixSeq", 10) + testing::Int32(2),
         {"Configuration Data Version mismatch"}},
        {"a refused chord, then a damaged record",
         config,
         refusedThenDamaged,
         {"Failed to register Hotkey : [C][A]+T", "Data file format is Invalid"}},
    };
    for (const Case& files : cases) {
        FakePlatform local;
        local.takenChords.insert({kCtrlAlt, 'T'});
        local.files[kConfigPath] = files.config;
        local.files[kSequencePath] = files.sequences;
        std::vector<int> openFiles;
        local.whileMessageBoxOpen = [&](const fake::MessageBox&) {
            openFiles.push_back(local.OpenFileCount());
        };
        testing::WithErrorBoxes<SequenceEngine> fresh(local);
        fresh.SetWindow(kWindow);
        fresh.Enable();
        std::vector<std::string> boxes;
        for (const fake::MessageBox& box : local.messageBoxes) {
            boxes.push_back(box.text);
        }
        EXPECT_EQ(boxes, files.boxes) << files.what;
        EXPECT_EQ(openFiles, std::vector<int>(files.boxes.size(), 0)) << files.what;
    }
}

TEST_F(EngineEnablingTest, CleanEndOfFileShowsNothing) {
    Write({{"a", {{kCtrlAlt, 'A'}}, {Builtin(0)}}});
    EXPECT_TRUE(engine.Enable());
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

TEST_F(EngineEnablingTest, EnableAndNotifyPlaysTheEnableSoundAfterEnabling) {
    Write({{"a", {{kCtrlAlt, 'A'}}, {Builtin(0)}}}, WithAbort('Z'));
    platform.calls.clear();
    engine.EnableAndNotify();
    const Calls calls = platform.CallsNamed({"RegisterHotKey", "PlaySoundA"});
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls.back(), Call("PlaySoundA", "e", 0, 0x22001));
}

TEST_F(EngineEnablingTest, DestroyingTheEngineUnregistersEverything) {
    Write({{"a", {{kCtrlAlt, 'A'}}, {Builtin(0)}}});
    {
        testing::WithErrorBoxes<SequenceEngine> scoped(platform);
        scoped.SetWindow(kWindow);
        scoped.Enable();
        EXPECT_EQ(platform.hotkeys.size(), 1u);
    }
    EXPECT_TRUE(platform.hotkeys.empty());
}

}  // namespace
}  // namespace pavix
