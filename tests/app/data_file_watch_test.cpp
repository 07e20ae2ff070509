// Changes to the data files by another program while Pavix runs: read again after a quiet moment,
// as after an editor, but never while an editor is open, for Pavix's own writes, for a file
// still held by its writer, or while the engine is disabled.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "fake/fake_platform.h"
#include "support/data_files.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;
using testing::Builtin;

constexpr WindowHandle kWindow = FakePlatform::kMainWindow;
constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;
constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
constexpr const char* kConfigPath = "C:\\Pavix\\Config.dat";
const Call kQuietTimer("SetTimer", kWindow, 1703, 300, 0);
const Call kEnableSound("PlaySoundA", "e", 0, 0x22001);

std::string OneSequence(std::uint16_t key) {
    return testing::SequenceFileBytes({{"s", {{kCtrlAlt, key}}, {Builtin(0)}}});
}

class EditorStandIn final : public DialogHandler {
  public:
    std::intptr_t DialogProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
        return 1;
    }
};

class DataFileWatchTest : public ::testing::Test {
  protected:
    DataFileWatchTest() {
        testing::ConfigSpec config;
        config.sounds = {"m", "mm", "a", "t", "e", "d"};
        platform.files[kConfigPath] = testing::ConfigFileBytes(config);
        platform.files[kSequencePath] = OneSequence('A');
        platform.files["C:\\Pavix\\Preferences.dat"] = testing::PreferencesFileBytes(0);
        EXPECT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &window),
                  kWindow);
    }

    // The folder changed, then its quiet moment passed: the calls of both.
    Calls ChangeAndWait() {
        platform.calls.clear();
        platform.Send(kWindow, kFilesChangedMessage);
        platform.Send(kWindow, kWmTimer, kFilesQuietTimerId);
        return platform.CallsNamed({"SetTimer", "KillTimer", "PlaySoundA"});
    }
    bool Holds(std::uint16_t key) const {
        return window.Engine().Registry().Hotkeys().count(KeyChord{kCtrlAlt, key}) != 0;
    }

    FakePlatform platform;
    MainWindow window{platform, [](std::uint32_t, const Settings&, DialogStack&) {
                          return std::make_unique<EditorStandIn>();
                      }};
};

TEST_F(DataFileWatchTest, ReplacedFileIsReadAfterAQuietMomentAsAfterAnEditor) {
    EXPECT_EQ(platform.CallsNamed("FindFirstChangeNotificationA"),
              (Calls{Call("FindFirstChangeNotificationA", "C:\\Pavix", false, 0x19)}));
    platform.files[kSequencePath] = OneSequence('B');
    // Each change starts the quiet moment again.
    platform.Send(kWindow, kFilesChangedMessage);
    EXPECT_EQ(ChangeAndWait(),
              (Calls{kQuietTimer, Call("KillTimer", kWindow, 1703), kEnableSound}));
    EXPECT_TRUE(Holds('B'));
    EXPECT_FALSE(Holds('A'));
    EXPECT_EQ(window.IconId(), kIdle);
    // A rewrite with the same contents, or a change to another file of the folder, reads nothing.
    platform.files[kSequencePath] = OneSequence('B');
    platform.files["C:\\Pavix\\Preferences.dat"] = testing::PreferencesFileBytes(1);
    EXPECT_EQ(ChangeAndWait(), (Calls{kQuietTimer, Call("KillTimer", kWindow, 1703)}));
}

// A writer holding the file, or a search under way, puts the reading off to a later tick.
TEST_F(DataFileWatchTest, WaitsForTheWriterAndForTheSearch) {
    const FileHandle writer =
        platform.CreateFileA(kConfigPath, kGenericWrite, 0, kOpenExisting, kFileAttributeNormal);
    EXPECT_EQ(ChangeAndWait(), (Calls{kQuietTimer}));
    platform.CloseHandle(writer);
    platform.files[kSequencePath] =
        testing::SequenceFileBytes({{"two", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'D'}}, {Builtin(0)}}});
    platform.Send(kWindow, kWmTimer, kFilesQuietTimerId);
    ASSERT_TRUE(Holds('C'));
    platform.Send(kWindow, kWmHotkey, window.Engine().Registry().Hotkeys().at({kCtrlAlt, 'C'}));
    platform.files[kSequencePath] = OneSequence('E');
    EXPECT_EQ(ChangeAndWait(), (Calls{kQuietTimer}));
    EXPECT_EQ(window.IconId(), kSeeking);
    platform.Send(kWindow, kWmTimer, kSearchTimerId);
    platform.calls.clear();
    platform.Send(kWindow, kWmTimer, kFilesQuietTimerId);
    EXPECT_TRUE(Holds('E'));
    EXPECT_EQ(platform.CallsNamed("PlaySoundA"), (Calls{kEnableSound}));
}

// The editor's own write, and a change while it is open, are read once, when it closes.
TEST_F(DataFileWatchTest, NothingWhileAnEditorIsOpenNorForItsOwnWrite) {
    platform.dialogRunner = [this](std::uint32_t, DialogHandler*) {
        platform.files[kSequencePath] = OneSequence('B');
        platform.Send(kWindow, kFilesChangedMessage);
        EXPECT_TRUE(platform.CallsNamed("SetTimer").empty());
        return std::intptr_t{1};
    };
    platform.calls.clear();
    platform.Send(kWindow, kWmCommand, kCommandEditSequence);
    EXPECT_EQ(platform.CallsNamed({"SetTimer", "PlaySoundA"}), (Calls{kEnableSound}));
    EXPECT_TRUE(Holds('B'));
    // The notification of the editor's write comes after it closed.
    EXPECT_EQ(ChangeAndWait(), (Calls{kQuietTimer, Call("KillTimer", kWindow, 1703)}));
    // A quiet moment that an editor interrupts ends with it.
    platform.files[kSequencePath] = OneSequence('C');
    platform.Send(kWindow, kFilesChangedMessage);
    platform.dialogRunner = [this](std::uint32_t, DialogHandler*) {
        platform.Send(kWindow, kWmTimer, kFilesQuietTimerId);
        EXPECT_TRUE(platform.CallsNamed("PlaySoundA").empty());
        return std::intptr_t{1};
    };
    platform.calls.clear();
    platform.Send(kWindow, kWmCommand, kCommandConfiguration);
    EXPECT_EQ(platform.CallsNamed({"KillTimer", "PlaySoundA"}),
              (Calls{Call("KillTimer", kWindow, 1703), kEnableSound}));
    EXPECT_TRUE(Holds('C'));
}

TEST_F(DataFileWatchTest, DisabledStaysDisabledUntilEnable) {
    platform.Send(kWindow, kFilesChangedMessage);
    platform.Send(kWindow, kWmCommand, kCommandDisable);
    platform.files[kSequencePath] = OneSequence('B');
    EXPECT_EQ(ChangeAndWait(), (Calls{Call("KillTimer", kWindow, 1703)}));
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(window.IconId(), kDisabled);
    platform.Send(kWindow, kWmCommand, kCommandEnable);
    EXPECT_TRUE(Holds('B'));
    EXPECT_EQ(ChangeAndWait(), (Calls{kQuietTimer, Call("KillTimer", kWindow, 1703)}));
}

// The message loop waits on the folder beside the messages and turns a change into a message;
// without a notification it waits for messages alone, and a notification that cannot be re-armed
// ends the watch instead of waking the loop for ever.
TEST(DataFileWatchLoopTest, ChangesReachTheWindowAndFailuresAreHarmless) {
    FakePlatform platform;
    platform.folderChanges = 1;
    platform.queue.push_back(Message{kWindow, kWmCommand, kCommandExit, 0});
    EXPECT_EQ(RunPavix(platform), 0);
    const KernelHandle watch = FakePlatform::kFirstChangeHandle;
    EXPECT_EQ(platform.CallsNamed({"MsgWaitForMultipleObjectsEx", "FindNextChangeNotification",
                                   "PostMessageA", "FindCloseChangeNotification"}),
              (Calls{Call("MsgWaitForMultipleObjectsEx", 1, watch, kInfinite, 0x4FF, 0),
                     Call("FindNextChangeNotification", watch),
                     Call("PostMessageA", kWindow, kFilesChangedMessage, 0, 0),
                     Call("FindCloseChangeNotification", watch)}));
    EXPECT_TRUE(platform.changeHandles.empty());

    FakePlatform refused;
    refused.Script("FindFirstChangeNotificationA", kInvalidHandleValue, kErrorAccessDenied);
    refused.queue.push_back(Message{kWindow, kWmCommand, kCommandExit, 0});
    EXPECT_EQ(RunPavix(refused), 0);
    EXPECT_TRUE(refused.CallsNamed("MsgWaitForMultipleObjectsEx").empty());
    EXPECT_TRUE(refused.messageBoxes.empty());

    FakePlatform stuck;
    stuck.folderChanges = 1000;
    stuck.Script("FindNextChangeNotification", 0, kErrorInvalidHandle);
    stuck.queue.push_back(Message{kWindow, kWmCommand, kCommandExit, 0});
    EXPECT_EQ(RunPavix(stuck), 0);
    EXPECT_EQ(stuck.CallsNamed("MsgWaitForMultipleObjectsEx").size(), 1u);
    EXPECT_TRUE(stuck.CallsNamed("PostMessageA").empty());
}

}  // namespace
}  // namespace pavix
