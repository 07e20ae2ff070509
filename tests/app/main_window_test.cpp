#include "app/main_window.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"
#include "support/data_files.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;
using testing::Builtin;
using testing::ConfigSpec;
using testing::External;
using testing::SequenceSpec;

constexpr WindowHandle kWindow = FakePlatform::kMainWindow;
constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;
constexpr std::uint32_t kWmHotkeyMessage = 0x312;

Call Modify(TrayIconId id) {
    return Call("Shell_NotifyIconA", 1, kNotifyIconDataSize, kWindow, 1, 7, 0x8001, 0x3000 + id,
                "Pavix");
}

// An editor that records the messages it gets and can act while it is "open".
class FakeEditor final : public DialogHandler {
  public:
    std::intptr_t DialogProc(WindowHandle, std::uint32_t message, std::uintptr_t,
                             std::intptr_t) override {
        messages.push_back(message);
        return 1;
    }
    std::vector<std::uint32_t> messages;
};

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        ConfigSpec config;
        config.sounds = {"m", "mm", "a", "t", "e", "d"};
        config.timeout = 700;
        config.abortEnabled = 1;
        config.abortKey = {kCtrlAlt, 'Z'};
        platform.files["C:\\Pavix\\Config.dat"] = testing::ConfigFileBytes(config);
        platform.files["C:\\Pavix\\Sequence.dat"] = testing::SequenceFileBytes(
            {{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("ab")}},
             {"cde", {{kCtrlAlt, 'C'}, {kCtrlAlt, 'D'}, {kCtrlAlt, 'E'}}, {Builtin(0)}},
             {"x", {{kCtrlAlt, 'X'}}, {External("x")}},
             {"off", {{kCtrlAlt, 'O'}}, {Builtin(kDisableHotkey)}},
             {"quit", {{kCtrlAlt, 'Q'}}, {Builtin(kExitPavix)}}});
    }
    void TearDown() override { MainWindowHandle = 0; }

    void Create() {
        ASSERT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &window),
                  kWindow);
        platform.calls.clear();
    }
    // Presses a chord and returns the timer and icon calls it led to.
    Calls Press(std::uint16_t key) {
        platform.calls.clear();
        const auto& hotkeys = window.Engine().Registry().Hotkeys();
        platform.Send(kWindow, kWmHotkeyMessage, hotkeys.at(KeyChord{kCtrlAlt, key}));
        return Effects();
    }
    Calls Command(std::uint32_t id) {
        platform.calls.clear();
        platform.Send(kWindow, 0x111, id);
        return Effects();
    }
    Calls Effects() {
        return platform.CallsNamed({"SetTimer", "KillTimer", "Shell_NotifyIconA", "PlaySoundA",
                                    "DestroyWindow", "PostQuitMessage"});
    }

    FakePlatform platform;
    std::vector<std::uint32_t> editorsRun;
    MainWindow window{platform, [this](std::uint32_t templateId) {
                          editorsRun.push_back(templateId);
                          return std::make_unique<FakeEditor>();
                      }};
};

TEST_F(MainWindowTest, CreationEnablesSilentlyAndAddsTheIdleIcon) {
    ASSERT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &window), kWindow);
    EXPECT_EQ(window.IconId(), kIdle);
    EXPECT_EQ(MainWindowHandle, kWindow);
    EXPECT_EQ(platform.hotkeys.size(), 9u);
    EXPECT_TRUE(platform.CallsNamed("PlaySoundA").empty());
    EXPECT_EQ(platform.CallsNamed("Shell_NotifyIconA"),
              (Calls{Call("Shell_NotifyIconA", 0, kNotifyIconDataSize, kWindow, 1, 7, 0x8001,
                          0x3000 + 110, "Pavix")}));
}

TEST_F(MainWindowTest, OutcomesDriveTheTimerAndTheIcon) {
    Create();
    EXPECT_EQ(Press('C'), (Calls{Call("PlaySoundA", "m", 0, 0x22001),
                                 Call("SetTimer", kWindow, 1701, 700, 0), Modify(kSeeking)}));
    // The next key restarts the timer from the full time-out; the icon is already right.
    EXPECT_EQ(Press('D'),
              (Calls{Call("PlaySoundA", "m", 0, 0x22001), Call("KillTimer", kWindow, 1701),
                     Call("SetTimer", kWindow, 1701, 700, 0)}));
    EXPECT_EQ(Press('A'), (Calls{Call("PlaySoundA", "mm", 0, 0x22001),
                                 Call("KillTimer", kWindow, 1701), Modify(kIdle)}));
    EXPECT_FALSE(window.TimerRunning());
    Press('A');
    EXPECT_EQ(Press('Z'), (Calls{Call("PlaySoundA", "a", 0, 0x22001),
                                 Call("KillTimer", kWindow, 1701), Modify(kIdle)}));
    Press('A');
    const Calls done = Press('B');
    EXPECT_EQ(done.back(), Modify(kIdle));
    EXPECT_EQ(window.IconId(), kIdle);
}

TEST_F(MainWindowTest, OneChordSequenceFromIdleTouchesNeitherTimerNorIcon) {
    Create();
    EXPECT_EQ(Press('X'), (Calls{Call("PlaySoundA", "m", 0, 0x22001)}));
    EXPECT_EQ(platform.CallsNamed("ShellExecuteA").size(), 1u);
}

TEST_F(MainWindowTest, DisableHotkeyShowsDisabledAndTheMenuThenOffersEnable) {
    Create();
    EXPECT_EQ(Press('O'), (Calls{Call("PlaySoundA", "m", 0, 0x22001),
                                 Call("PlaySoundA", "d", 0, 0x22001), Modify(kDisabled)}));
    EXPECT_TRUE(platform.hotkeys.empty());
    platform.calls.clear();
    platform.Send(kWindow, kTrayCallbackMessage, 1, 0x204);
    EXPECT_EQ(platform.CallsNamed("EnableMenuItem").front().args[2], "0");  // Enable enabled
    EXPECT_EQ(Command(kCommandEnable), (Calls{Call("PlaySoundA", "e", 0, 0x22001), Modify(kIdle)}));
    EXPECT_EQ(platform.hotkeys.size(), 9u);
}

TEST_F(MainWindowTest, ExitProgramDestroysTheWindowWithoutDisableSound) {
    Create();
    Press('A');
    EXPECT_EQ(Press('Q'), (Calls{Call("PlaySoundA", "mm", 0, 0x22001),
                                 Call("KillTimer", kWindow, 1701), Modify(kIdle)}));
    EXPECT_EQ(Press('Q'),
              (Calls{Call("PlaySoundA", "m", 0, 0x22001), Call("DestroyWindow", kWindow),
                     Call("Shell_NotifyIconA", 2, kNotifyIconDataSize, kWindow, 1, 0, 0, 0, ""),
                     Call("PostQuitMessage", 0)}));
    EXPECT_TRUE(platform.trayIcons.empty());
}

TEST_F(MainWindowTest, TimerExpiryEndsTheSearch) {
    Create();
    Press('A');
    platform.calls.clear();
    platform.Send(kWindow, 0x113, kSearchTimerId);
    EXPECT_EQ(Effects(), (Calls{Call("KillTimer", kWindow, 1701),
                                Call("PlaySoundA", "t", 0, 0x22001), Modify(kIdle)}));
}

TEST_F(MainWindowTest, MenuCommandsAlwaysUpdateTheIcon) {
    Create();
    EXPECT_EQ(Command(kCommandAbort), (Calls{Call("PlaySoundA", "a", 0, 0x22001), Modify(kIdle)}));
    Press('A');
    EXPECT_EQ(Command(kCommandDisable),
              (Calls{Call("KillTimer", kWindow, 1701), Call("PlaySoundA", "d", 0, 0x22001),
                     Modify(kDisabled)}));
    EXPECT_EQ(Command(kCommandExit).front(), Call("DestroyWindow", kWindow));
}

TEST_F(MainWindowTest, UnknownCommandsGoToTheDefaultProcedure) {
    Create();
    platform.Send(kWindow, 0x111, 40099);
    EXPECT_EQ(platform.CallsNamed("DefWindowProcA"),
              (Calls{Call("DefWindowProcA", kWindow, 0x111, 40099, 0)}));
}

TEST_F(MainWindowTest, EditorRunsWithTheEngineDisabledAndEndsEnabled) {
    Create();
    Press('A');
    platform.activeWindow = 0x999;
    platform.dialogRunner = [this](std::uint32_t, DialogHandler* dialog) {
        EXPECT_TRUE(platform.hotkeys.empty());
        EXPECT_FALSE(window.TimerRunning());
        dialog->DialogProc(0x5555, 0x110, 0, 0);
        return std::intptr_t{2};
    };
    platform.calls.clear();
    platform.Send(kWindow, 0x111, kCommandConfiguration);
    EXPECT_EQ(editorsRun, (std::vector<std::uint32_t>{111}));
    EXPECT_EQ(platform.CallsNamed("DialogBoxParamA"),
              (Calls{Call("DialogBoxParamA", FakePlatform::kInstance, 111, 0x999, 0)}));
    EXPECT_EQ(platform.hotkeys.size(), 9u);
    EXPECT_EQ(Effects(), (Calls{Call("KillTimer", kWindow, 1701),
                                Call("PlaySoundA", "e", 0, 0x22001), Modify(kIdle)}));
}

TEST_F(MainWindowTest, EditorRequestWhileAnEditorIsOpenBringsItToTheFront) {
    Create();
    int nested = 0;
    platform.dialogRunner = [&](std::uint32_t, DialogHandler* dialog) {
        ++nested;
        dialog->DialogProc(0x5555, 0x110, 0, 0);
        platform.Send(kWindow, 0x111, kCommandEditSequence);
        platform.Send(kWindow, 0x111, kCommandConfiguration);
        return std::intptr_t{1};
    };
    platform.Send(kWindow, 0x111, kCommandEditSequence);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(editorsRun, (std::vector<std::uint32_t>{104}));
    EXPECT_EQ(platform.CallsNamed("SetForegroundWindow"),
              (Calls{Call("SetForegroundWindow", 0x5555), Call("SetForegroundWindow", 0x5555)}));
    // After it closes, the next request opens an editor again.
    platform.dialogRunner = nullptr;
    platform.Send(kWindow, 0x111, kCommandConfiguration);
    EXPECT_EQ(editorsRun.size(), 2u);
}

TEST_F(MainWindowTest, TaskbarRestartAddsTheIconInTheCurrentState) {
    Create();
    Press('A');
    platform.trayIcons.clear();
    platform.calls.clear();
    platform.Send(kWindow, FakePlatform::kTaskbarCreatedMessage);
    EXPECT_EQ(platform.CallsNamed("Shell_NotifyIconA"),
              (Calls{Call("Shell_NotifyIconA", 0, kNotifyIconDataSize, kWindow, 1, 7, 0x8001,
                          0x3000 + 111, "Pavix")}));
}

// Without a "TaskbarCreated" message id (RegisterWindowMessageA gave 0) no message stands for a
// taskbar restart: WM_NULL, which is 0, goes on like any other message and adds no icon.
TEST_F(MainWindowTest, TaskbarMessageThatCouldNotBeRegisteredMatchesNothing) {
    platform.Script("RegisterWindowMessageA", 0);
    MainWindow unregistered{platform, [](std::uint32_t) { return std::make_unique<FakeEditor>(); }};
    ASSERT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &unregistered),
              kWindow);
    platform.calls.clear();
    platform.Send(kWindow, 0);
    EXPECT_EQ(platform.calls, (Calls{Call("DefWindowProcA", kWindow, 0, 0, 0)}));
}

TEST_F(MainWindowTest, UnusableConfigAtStartStillShowsIdle) {
    platform.files["C:\\Pavix\\Config.dat"] = "";
    Create();
    EXPECT_EQ(window.IconId(), kIdle);
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(platform.messageBoxes.size(), 1u);
    // Disable then Enable retries the load.
    platform.files["C:\\Pavix\\Config.dat"] = testing::ConfigFileBytes(ConfigSpec{});
    Command(kCommandDisable);
    Command(kCommandEnable);
    EXPECT_EQ(platform.hotkeys.size(), 8u);
}

}  // namespace
}  // namespace pavix
