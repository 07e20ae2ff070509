#include "app/main_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "app/editor_factory.h"
#include "editors/hotkey_editor.h"
#include "editors/key_capture_dialog.h"
#include "editors/sequence_editor.h"
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
constexpr const char* kPreferencesPath = "C:\\Pavix\\Preferences.dat";

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
        // These transcripts are about the search timer alone; the hints have their own tests.
        platform.files[kPreferencesPath] = testing::PreferencesFileBytes(0);
    }

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
    // Runs `action` inside the next message box, as the box's modal loop would deliver it.
    void InNextBox(std::function<void()> action) {
        inNextBox_ = std::move(action);
        platform.whileMessageBoxOpen = [this](const fake::MessageBox&) {
            if (std::function<void()> action = std::exchange(inNextBox_, nullptr)) {
                action();
            }
        };
    }
    // The picture the tray shows now.
    TrayIconId Shown() const {
        return static_cast<TrayIconId>(platform.trayIcons.at(kTrayIconUid).hIcon - 0x3000);
    }
    // Whether the tray menu, opened now, offers the command.
    bool MenuOffers(std::uint32_t command) {
        platform.calls.clear();
        platform.Send(kWindow, kTrayCallbackMessage, 1, 0x204);
        for (const Call& call : platform.CallsNamed("EnableMenuItem")) {
            if (call.args[1] == std::to_string(command)) {
                return call.args[2] == "0";
            }
        }
        return true;  // not set by state: enabled as the resource has it
    }

    FakePlatform platform;
    std::function<void()> inNextBox_;
    std::vector<std::uint32_t> editorsRun;
    MainWindow window{platform, [this](std::uint32_t templateId, const Settings&, DialogStack&) {
                          editorsRun.push_back(templateId);
                          return std::make_unique<FakeEditor>();
                      }};
};

TEST_F(MainWindowTest, CreationEnablesSilentlyAndAddsTheIdleIcon) {
    ASSERT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &window), kWindow);
    EXPECT_EQ(window.IconId(), kIdle);
    EXPECT_EQ(window.Engine().Registry().Window(), kWindow);
    EXPECT_EQ(platform.hotkeys.size(), 9u);
    EXPECT_TRUE(platform.CallsNamed("PlaySoundA").empty());
    EXPECT_EQ(platform.CallsNamed("Shell_NotifyIconA"),
              (Calls{Call("Shell_NotifyIconA", 0, kNotifyIconDataSize, kWindow, 1, 7, 0x8001,
                          0x3000 + 110, "Pavix")}));
}

// The filter is opened before anything can hold up the start (the first pass may show boxes),
// and a change of the display scale redraws the icon at the new size.
TEST_F(MainWindowTest, TheIconSurvivesShellRestartsAndScaleChanges) {
    ASSERT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &window), kWindow);
    const Calls start = platform.CallsNamed({"ChangeWindowMessageFilterEx", "CreateFileA"});
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(start[0], Call("ChangeWindowMessageFilterEx", kWindow,
                             FakePlatform::kTaskbarCreatedMessage, kMsgfltAllow));
    platform.dpi = 144;
    platform.calls.clear();
    EXPECT_EQ(platform.Send(kWindow, kWmDpiChanged, 0x00900090), 0);
    EXPECT_EQ(platform.CallsNamed("LoadImageA"),
              (Calls{Call("LoadImageA", FakePlatform::kInstance, 110, 1, 24, 24, 0)}));
    EXPECT_EQ(platform.CallsNamed("Shell_NotifyIconA"), (Calls{Modify(kIdle)}));
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
        // The search it dropped no longer shows.
        EXPECT_FALSE(window.TimerRunning());
        EXPECT_EQ(Shown(), kIdle);
        dialog->DialogProc(0x5555, 0x110, 0, 0);
        return std::intptr_t{2};
    };
    platform.calls.clear();
    platform.Send(kWindow, 0x111, kCommandConfiguration);
    EXPECT_EQ(editorsRun, (std::vector<std::uint32_t>{111}));
    EXPECT_EQ(platform.CallsNamed("DialogBoxParamA"),
              (Calls{Call("DialogBoxParamA", FakePlatform::kInstance, 111, 0x999, 0)}));
    EXPECT_EQ(platform.hotkeys.size(), 9u);
    EXPECT_EQ(Effects(), (Calls{Call("KillTimer", kWindow, 1701), Modify(kIdle),
                                Call("PlaySoundA", "e", 0, 0x22001), Modify(kIdle)}));
}

TEST_F(MainWindowTest, MenuCommandsWhileAnEditorIsOpenOnlyBringItToTheFront) {
    Create();
    int nested = 0;
    platform.dialogRunner = [&](std::uint32_t, DialogHandler* dialog) {
        ++nested;
        dialog->DialogProc(0x5555, 0x110, 0, 0);
        platform.calls.clear();
        for (std::uint32_t command : {kCommandEditSequence, kCommandConfiguration, kCommandEnable,
                                      kCommandDisable, kCommandAbort}) {
            platform.Send(kWindow, 0x111, command);
        }
        EXPECT_EQ(platform.calls, Calls(5, Call("SetForegroundWindow", 0x5555)));
        EXPECT_TRUE(platform.hotkeys.empty());
        return std::intptr_t{1};
    };
    platform.Send(kWindow, 0x111, kCommandEditSequence);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(editorsRun, (std::vector<std::uint32_t>{104}));
    // Closing it enables once.
    EXPECT_EQ(Effects(), (Calls{Call("PlaySoundA", "e", 0, 0x22001), Modify(kIdle)}));
    // After it closes, the next request opens an editor again.
    platform.dialogRunner = nullptr;
    platform.Send(kWindow, 0x111, kCommandConfiguration);
    EXPECT_EQ(editorsRun.size(), 2u);
}

TEST_F(MainWindowTest, SheetOpensBesideASearchAndShowsTheFilesAnewAfterAnEditor) {
    platform.UseFakeDialogs();
    Create();
    Press('A');
    platform.Send(kWindow, 0x111, kCommandAllSequences);
    ASSERT_NE(window.KeyboardDialog(), 0u);
    EXPECT_TRUE(window.TimerRunning());
    EXPECT_EQ(platform.hotkeys.size(), 9u);
    EXPECT_EQ(window.Sheet().Rows().size(), 10u);
    // An editor's OK replaced the sequences, whose one chord is the abort key; then the abort
    // key went.
    platform.files["C:\\Pavix\\Sequence.dat"] =
        testing::SequenceFileBytes({{"z", {{kCtrlAlt, 'Z'}}, {External("z")}}});
    platform.Send(kWindow, 0x111, kCommandEditSequence);
    ASSERT_EQ(window.Sheet().Rows().size(), 2u);
    EXPECT_EQ(window.Sheet().Rows()[1].name, "! z");
    platform.files["C:\\Pavix\\Config.dat"] = testing::ConfigFileBytes(ConfigSpec{});
    platform.Send(kWindow, 0x111, kCommandConfiguration);
    EXPECT_EQ(window.Sheet().Rows()[1].name, "z");
    platform.Send(kWindow, 0x111, kCommandExit);
    EXPECT_EQ(window.KeyboardDialog(), 0u);
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

// The first pass shows a box (here for an unusable Config.dat) and the taskbar announces itself
// meanwhile: the icon is added once, then shows the state the pass left, and the menu follows it.
TEST_F(MainWindowTest, TaskbarCreatedDuringTheFirstPassAddsTheIconOnce) {
    platform.files["C:\\Pavix\\Config.dat"] = "";
    InNextBox([&] { platform.Send(kWindow, FakePlatform::kTaskbarCreatedMessage); });
    ASSERT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &window), kWindow);
    EXPECT_EQ(platform.CallsNamed("Shell_NotifyIconA"),
              (Calls{Call("Shell_NotifyIconA", 0, kNotifyIconDataSize, kWindow, 1, 7, 0x8001,
                          0x3000 + kIdle, "Pavix"),
                     Modify(kDisabled)}));
    EXPECT_EQ(platform.messageBoxes.size(), 1u) << "no box for a refused second add";
    EXPECT_EQ(Shown(), kDisabled);
    EXPECT_TRUE(MenuOffers(kCommandEnable));
    EXPECT_FALSE(MenuOffers(kCommandDisable));
}

// Without a "TaskbarCreated" message id (RegisterWindowMessageA gave 0) no message stands for a
// taskbar restart: WM_NULL, which is 0, goes on like any other message and adds no icon.
TEST_F(MainWindowTest, TaskbarMessageThatCouldNotBeRegisteredMatchesNothing) {
    platform.Script("RegisterWindowMessageA", 0);
    MainWindow unregistered{platform, [](std::uint32_t, const Settings&, DialogStack&) {
                                return std::make_unique<FakeEditor>();
                            }};
    ASSERT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &unregistered),
              kWindow);
    platform.calls.clear();
    platform.Send(kWindow, 0);
    EXPECT_EQ(platform.calls, (Calls{Call("DefWindowProcA", kWindow, 0, 0, 0)}));
}

TEST_F(MainWindowTest, MenuCommandsAndHotkeysDuringAnEnablingPassDoNothing) {
    Create();
    Command(kCommandDisable);
    platform.takenChords.insert({kCtrlAlt, 'C'});
    int openFiles = -1;
    Calls inBox;
    InNextBox([&] {
        openFiles = platform.OpenFileCount();
        platform.calls.clear();
        for (std::uint32_t command : {kCommandEditSequence, kCommandConfiguration, kCommandEnable,
                                      kCommandDisable, kCommandAbort}) {
            platform.Send(kWindow, 0x111, command);
        }
        platform.Send(kWindow, kWmHotkeyMessage, 1);  // Ctrl+Alt+A, registered before C
        inBox = platform.calls;
    });
    const Calls effects = Command(kCommandEnable);
    EXPECT_EQ(openFiles, 0);
    EXPECT_EQ(inBox, Calls{});
    EXPECT_TRUE(editorsRun.empty());
    EXPECT_EQ(effects, (Calls{Call("PlaySoundA", "e", 0, 0x22001), Modify(kIdle)}));
    // Every sequence but the refused one holds its chords: Z, A, B, X, O, Q.
    EXPECT_EQ(platform.hotkeys.size(), 6u);
}

TEST_F(MainWindowTest, ExitDuringAnEnablingPassIsCarriedOutAfterIt) {
    Create();
    platform.takenChords.insert({kCtrlAlt, 'C'});
    InNextBox([&] { platform.Send(kWindow, 0x111, kCommandExit); });
    Command(kCommandEnable);
    EXPECT_TRUE(platform.CallsNamed("DestroyWindow").empty());
    EXPECT_EQ(platform.hotkeys.size(), 6u);
    EXPECT_EQ(platform.CallsNamed("PostMessageA"),
              (Calls{Call("PostMessageA", kWindow, 0x111, kCommandExit, 0)}));
    Command(kCommandExit);
    EXPECT_EQ(platform.CallsNamed("DestroyWindow"), (Calls{Call("DestroyWindow", kWindow)}));
}

TEST_F(MainWindowTest, ExitDuringAnEditorEndsItAsCancelAndExitsWithoutEnabling) {
    Create();
    platform.UseFakeDialogs();
    platform.dialogs.Expect(kSequenceEditorId, [this](fake::FakeDialog& dialog) {
        platform.calls.clear();
        platform.Send(kWindow, 0x111, kCommandExit);
        EXPECT_EQ(platform.calls, (Calls{Call("EndDialog", dialog.Handle(), 2)}));
    });
    platform.Send(kWindow, 0x111, kCommandEditSequence);
    EXPECT_EQ(platform.dialogs.Last(kSequenceEditorId)->result, 2);
    EXPECT_EQ(Effects(),
              (Calls{Call("DestroyWindow", kWindow),
                     Call("Shell_NotifyIconA", 2, kNotifyIconDataSize, kWindow, 1, 0, 0, 0, ""),
                     Call("PostQuitMessage", 0)}));
    EXPECT_TRUE(platform.CallsNamed("RegisterHotKey").empty());
    EXPECT_TRUE(platform.messageBoxes.empty());
}

// The editors themselves, with the dialogs they run inside them.
class ExitFromNestedDialogsTest : public ::testing::Test {
  protected:
    ExitFromNestedDialogsTest() {
        platform.files[kSequencePath] = testing::SequenceFileBytes(
            {{"ab", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {External("ab")}}});
        platform.UseFakeDialogs();
        EXPECT_EQ(platform.CreateWindowExA(0, "c", "Pavix", 0, 0, 0, 0, 0, 0, 0, 0, &window),
                  kWindow);
    }
    // Chooses Exit from the menu and returns what that did to the dialogs.
    Calls Exit() {
        platform.calls.clear();
        platform.Send(kWindow, 0x111, kCommandExit);
        return platform.CallsNamed({"EndDialog", "PostMessageA", "DestroyWindow"});
    }
    WindowHandle Last(std::uint32_t templateId) {
        return platform.dialogs.Last(templateId)->Handle();
    }
    void ExpectExitedWithFileUnchanged(const std::string& before) {
        EXPECT_EQ(platform.files[kSequencePath], before);
        EXPECT_EQ(platform.CallsNamed("DestroyWindow"), (Calls{Call("DestroyWindow", kWindow)}));
        EXPECT_TRUE(platform.CallsNamed("RegisterHotKey").empty());
    }

    static constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
    FakePlatform platform;
    MainWindow window{
        platform, [this](std::uint32_t templateId, const Settings& settings, DialogStack& dialogs) {
            return MakeEditor(platform, templateId, settings, dialogs);
        }};
};

TEST_F(ExitFromNestedDialogsTest, EndsTheKeyCaptureBoxAndEveryEditorAroundItInnermostFirst) {
    const std::string before = platform.files[kSequencePath];
    platform.dialogs.Expect(kSequenceEditorId, [](fake::FakeDialog& editor) {
        editor.SelectRow(SequenceEditor::kSequenceList, 0);
        editor.Click(SequenceEditor::kKeyAdd);
    });
    platform.dialogs.Expect(HotkeyEditor::kTemplateId, [](fake::FakeDialog& hotkey) {
        hotkey.Click(HotkeyEditor::kKeyTypeButton);
    });
    Calls ended;
    platform.dialogs.Expect(KeyCaptureDialog::kTemplateId,
                            [&](fake::FakeDialog&) { ended = Exit(); });
    platform.Send(kWindow, 0x111, kCommandEditSequence);
    EXPECT_EQ(ended, (Calls{Call("EndDialog", Last(KeyCaptureDialog::kTemplateId), 2),
                            Call("EndDialog", Last(HotkeyEditor::kTemplateId), 2),
                            Call("EndDialog", Last(kSequenceEditorId), 2)}));
    ExpectExitedWithFileUnchanged(before);
}

// The platform's file dialog is told to cancel, as its Cancel button would, and returns no file.
TEST_F(ExitFromNestedDialogsTest, CancelsTheFileDialogOfExportAndWritesNothing) {
    const std::string before = platform.files[kSequencePath];
    platform.dialogs.Expect(kSequenceEditorId, [](fake::FakeDialog& editor) {
        editor.Click(SequenceEditor::kExportButton);
    });
    platform.dialogs.fileChoice = "C:\\Pavix\\out.toml";
    Calls ended;
    platform.whileFileDialogOpen = [&] { ended = Exit(); };
    platform.Send(kWindow, 0x111, kCommandEditSequence);
    EXPECT_EQ(ended, (Calls{Call("PostMessageA", FakePlatform::kFileDialog, 0x111, 2, 0),
                            Call("EndDialog", Last(kSequenceEditorId), 2)}));
    EXPECT_EQ(platform.files.count("C:\\Pavix\\out.toml"), 0u);
    ExpectExitedWithFileUnchanged(before);
}

TEST_F(MainWindowTest, MenuAndHotkeysWaitWhileASequencesCommandsRun) {
    Create();
    const HotkeyId x = window.Engine().Registry().Hotkeys().at(KeyChord{kCtrlAlt, 'X'});
    Press('A');
    platform.Script("ShellExecuteA", 2, 2);
    Calls inBox;
    InNextBox([&] {
        platform.calls.clear();
        platform.Send(kWindow, 0x111, kCommandDisable);
        platform.Send(kWindow, 0x111, kCommandEditSequence);
        platform.Send(kWindow, kWmHotkeyMessage, x);
        platform.Send(kWindow, 0x111, kCommandExit);
        inBox = platform.calls;
        platform.calls.clear();
    });
    // The failed command of A B holds the press in its box; Exit comes once the press is over.
    EXPECT_EQ(Press('B'),
              (Calls{Call("DestroyWindow", kWindow),
                     Call("Shell_NotifyIconA", 2, kNotifyIconDataSize, kWindow, 1, 0, 0, 0, ""),
                     Call("KillTimer", kWindow, 1701), Call("PostQuitMessage", 0)}));
    EXPECT_EQ(inBox, Calls{});
    EXPECT_TRUE(editorsRun.empty());
}

TEST_F(MainWindowTest, HotkeyQueuedBeforeADisableIsIgnored) {
    Create();
    const HotkeyId a = window.Engine().Registry().Hotkeys().at(KeyChord{kCtrlAlt, 'A'});
    Command(kCommandDisable);
    platform.calls.clear();
    platform.Send(kWindow, kWmHotkeyMessage, a);
    EXPECT_EQ(Effects(), Calls{});
    EXPECT_EQ(Shown(), kDisabled);
}

TEST_F(MainWindowTest, TimerExpiryAfterTheSearchEndedDoesNothing) {
    Create();
    Press('A');
    platform.Script("ShellExecuteA", 2, 2);
    Calls inBox;
    InNextBox([&] {
        platform.calls.clear();
        platform.Send(kWindow, 0x113, kSearchTimerId);
        inBox = Effects();
        platform.calls.clear();
    });
    // The box is the failure of A B's command: the sequence has completed under it.
    EXPECT_EQ(Press('B'), (Calls{Modify(kIdle)}));
    EXPECT_EQ(inBox, (Calls{Call("KillTimer", kWindow, 1701)}));
}

TEST_F(MainWindowTest, UnusableConfigAtStartShowsDisabledAndEnableRetries) {
    platform.files["C:\\Pavix\\Config.dat"] = "";
    Create();
    EXPECT_EQ(Shown(), kDisabled);
    EXPECT_TRUE(MenuOffers(kCommandEnable));
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(platform.messageBoxes.size(), 1u);
    // Enable retries the load, and so does the pass after an editor.
    EXPECT_EQ(Command(kCommandEnable), (Calls{Modify(kDisabled)}));
    EXPECT_EQ(Command(kCommandConfiguration), (Calls{Modify(kDisabled)}));
    platform.files["C:\\Pavix\\Config.dat"] = testing::ConfigFileBytes(ConfigSpec{});
    EXPECT_EQ(Command(kCommandEnable), (Calls{Modify(kIdle)}));
    EXPECT_EQ(platform.hotkeys.size(), 8u);
}

// The Sequence.dat each enabling pass meets, and the state it must leave.
struct EnablingCase {
    const char* name;
    const char* bytes;  // nullptr: no such file
    TrayIconId state;
};

void PrintTo(const EnablingCase& files, std::ostream* out) {
    *out << files.name;
}

class MainWindowEnablingTest : public MainWindowTest,
                               public ::testing::WithParamInterface<EnablingCase> {};

TEST_P(MainWindowEnablingTest, EveryPassShowsTheStateItLeavesAndEnableRetries) {
    const EnablingCase& files = GetParam();
    const char* const path = "C:\\Pavix\\Sequence.dat";
    const std::string good = platform.files[path];
    if (files.bytes == nullptr) {
        platform.files.erase(path);
    } else {
        platform.files[path] = files.bytes;
    }
    const bool enabled = files.state == kIdle;
    Create();
    EXPECT_EQ(Shown(), files.state) << "at start-up";
    EXPECT_EQ(MenuOffers(kCommandEnable), !enabled);
    EXPECT_EQ(MenuOffers(kCommandDisable), enabled);
    EXPECT_EQ(Command(kCommandEnable).back(), Modify(files.state)) << "after menu Enable";
    EXPECT_EQ(Command(kCommandEditSequence).back(), Modify(files.state)) << "after an editor";
    platform.files[path] = good;
    EXPECT_EQ(Command(kCommandEnable).back(), Modify(kIdle)) << "with the file repaired";
    EXPECT_EQ(platform.hotkeys.size(), 9u);
}

INSTANTIATE_TEST_SUITE_P(SequenceFile, MainWindowEnablingTest,
                         ::testing::Values(EnablingCase{"Invalid", "invalid", kDisabled},
                                           // No sequences: enabled with the abort hotkey alone.
                                           EnablingCase{"Missing", nullptr, kIdle}),
                         [](const ::testing::TestParamInfo<EnablingCase>& info) {
                             return info.param.name;
                         });

// With hints on, as they are by default.
class MainWindowHintsTest : public MainWindowTest {
  protected:
    MainWindowHintsTest() { platform.files.erase(kPreferencesPath); }

    WindowHandle Popup() const { return window.HintState().Shown(); }
    void Pause() { platform.Send(kWindow, 0x113, kHintTimerId); }
    // What the hint window says, label by label.
    std::vector<std::string> Labels() {
        std::vector<std::string> labels;
        for (WindowHandle label : platform.ChildrenOf(Popup())) {
            labels.push_back(platform.createdWindows.at(label).text);
        }
        return labels;
    }
    Call HintTimer() const { return Call("SetTimer", kWindow, kHintTimerId, 600, 0); }
};

TEST_F(MainWindowHintsTest, PauseInASearchShowsWhatComesNextWithoutTakingTheFocus) {
    Create();
    EXPECT_EQ(platform.CallsNamed("SetTimer"), Calls{});
    Press('C');
    EXPECT_EQ(platform.CallsNamed("SetTimer").back(), HintTimer());
    EXPECT_EQ(Popup(), 0u);
    platform.calls.clear();
    Pause();
    ASSERT_NE(Popup(), 0u);
    EXPECT_EQ(platform.CallsNamed("KillTimer"), (Calls{Call("KillTimer", kWindow, kHintTimerId)}));
    const fake::FakeWindow& popup = platform.createdWindows.at(Popup());
    EXPECT_EQ(popup.className, "PavixHints");
    EXPECT_EQ(popup.text, "Pavix: next keys");
    EXPECT_EQ(popup.exStyle, kWsExNoActivate | kWsExToolWindow | kWsExTopmost);
    EXPECT_EQ(popup.style, kWsPopup | kWsBorder);
    EXPECT_EQ(popup.parent, kWindow);
    EXPECT_TRUE(popup.visible);
    EXPECT_EQ(platform.CallsNamed("ShowWindow"), (Calls{Call("ShowWindow", Popup(), 4)}));
    EXPECT_TRUE(platform.CallsNamed({"SetForegroundWindow", "SetFocus"}).empty());
    EXPECT_EQ(platform.Send(Popup(), kWmMouseActivate), kMaNoActivate);
    // Above the notification area, which this work area does not leave out.
    EXPECT_LE(popup.rect.bottom, platform.notificationAreaRect.top);
    EXPECT_LE(popup.rect.right, platform.workArea.right);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"[C][A]+D", "(1 sequence)"}));
    for (WindowHandle label : platform.ChildrenOf(Popup())) {
        const fake::FakeWindow& made = platform.createdWindows.at(label);
        EXPECT_EQ(made.className, "STATIC");
        EXPECT_EQ(made.style, kWsChild | kWsVisible | kSsNoPrefix);
        EXPECT_EQ(made.font, platform.GetStockObject(kDefaultGuiFont));
        EXPECT_LE(made.rect.right + 2 * 1, popup.rect.right - popup.rect.left);
    }

    // The next key takes the window away at once and starts the pause again.
    Press('D');
    EXPECT_EQ(Popup(), 0u);
    EXPECT_TRUE(platform.createdWindows.empty());
    EXPECT_EQ(platform.CallsNamed("SetTimer").back(), HintTimer());
    Pause();
    EXPECT_EQ(Labels(), (std::vector<std::string>{"[C][A]+E", "cde"}));
}

TEST_F(MainWindowHintsTest, TheCompletedSequenceRunsItsCommandsWithTheHintsGone) {
    Create();
    Press('A');
    Pause();
    ASSERT_NE(Popup(), 0u);
    bool shownWhileRunning = true;
    platform.Script("ShellExecuteA", 0, 0, [&](const Call&) {
        shownWhileRunning = Popup() != 0;
        return false;
    });
    Press('B');
    EXPECT_FALSE(shownWhileRunning);
}

TEST_F(MainWindowHintsTest, EveryEndOfTheSearchTakesTheHintsAwayAndStopsTheirTimer) {
    Create();
    const std::vector<std::pair<const char*, std::function<void()>>> ends = {
        {"mismatch", [&] { Press('X'); }},
        {"completion", [&] { Press('B'); }},
        {"abort chord", [&] { Press('Z'); }},
        {"time-out", [&] { platform.Send(kWindow, 0x113, kSearchTimerId); }},
        {"menu Abort", [&] { Command(kCommandAbort); }},
        {"menu Disable", [&] { Command(kCommandDisable); }},
        {"an editor", [&] { Command(kCommandEditSequence); }},
        {"exit", [&] { Command(kCommandExit); }},
    };
    for (const auto& [name, end] : ends) {
        if (window.IconId() == kDisabled) {
            Command(kCommandEnable);
        }
        Press('A');
        Pause();
        ASSERT_NE(Popup(), 0u) << name;
        end();
        EXPECT_EQ(Popup(), 0u) << name;
        EXPECT_TRUE(platform.createdWindows.empty()) << name;
        EXPECT_FALSE(window.HintState().TimerRunning()) << name;
        // A timer message already on its way shows nothing.
        Pause();
        EXPECT_EQ(Popup(), 0u) << name;
    }
}

TEST_F(MainWindowHintsTest, HintsOffCostNothingAndTheChoiceIsKept) {
    Create();
    // The menu's first check mark is Show Hints'.
    auto HintsTick = [&] { return platform.CallsNamed("CheckMenuItem").end()[-2].args.back(); };
    platform.Send(kWindow, kTrayCallbackMessage, 1, 0x204);
    EXPECT_EQ(HintsTick(), "8");
    Command(kCommandShowHints);
    EXPECT_EQ(platform.files[kPreferencesPath], testing::PreferencesFileBytes(0));
    for (char key : {'C', 'D'}) {
        Press(key);
        EXPECT_EQ(platform.CallsNamed("SetTimer"),
                  (Calls{Call("SetTimer", kWindow, 1701, 700, 0)}));
    }
    platform.Send(kWindow, kTrayCallbackMessage, 1, 0x204);
    EXPECT_EQ(HintsTick(), "0");
    {
        Hints later(platform, FakePlatform::kInstance, window.Engine());
        later.Start(kWindow);
        EXPECT_FALSE(later.Enabled());
    }
    // Turned on mid-search, the hints wait for the next key; a choice that cannot be kept is
    // reported.
    platform.Script("MoveFileExA", 0, 5, {}, 1);
    Command(kCommandShowHints);
    EXPECT_EQ(platform.files[kPreferencesPath], testing::PreferencesFileBytes(0));
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Failed to write file");
    EXPECT_FALSE(window.HintState().TimerRunning());
    Press('E');
    Press('C');
    EXPECT_TRUE(window.HintState().TimerRunning());
}

TEST_F(MainWindowHintsTest, PastTwelveChordsOneRowSaysHowManyMore) {
    std::vector<SequenceSpec> sequences;
    for (char key = 'A'; key <= 'N'; ++key) {
        sequences.push_back({std::string("to ") + key,
                             {{kCtrlAlt, 'P'}, {kCtrlAlt, static_cast<std::uint16_t>(key)}},
                             {Builtin(0)}});
    }
    sequences.push_back(
        {"three", {{kCtrlAlt, 'P'}, {kCtrlAlt, 'A'}, {kCtrlAlt, 'Z'}}, {Builtin(0)}});
    platform.files["C:\\Pavix\\Sequence.dat"] = testing::SequenceFileBytes(sequences);
    Create();
    Press('P');
    Pause();
    const std::vector<std::string> labels = Labels();
    ASSERT_EQ(labels.size(), 2 * kMostHintRows + 1);
    EXPECT_EQ(labels[0], "[C][A]+A");
    EXPECT_EQ(labels[1], "to A");
    EXPECT_EQ(labels[2 * kMostHintRows - 2], "[C][A]+L");
    EXPECT_EQ(labels.back(), "\x85 and 2 more");
}

// The corner of the work area nearest the notification area, clear of the area itself.
TEST(HintPlacementTest, NearTheNotificationAreaInsideTheWorkArea) {
    const Rect work{0, 0, 1024, 768};
    const Size size{200, 100};
    const auto place = [&](std::optional<Rect> area) {
        const Point at = PlaceNearNotificationArea(work, area, size);
        return std::make_pair(at.x, at.y);
    };
    // A taskbar along the bottom that the work area does not leave out: above its icons.
    EXPECT_EQ(place(Rect{900, 740, 1024, 768}), std::make_pair(816, 632));
    // Along the top: below them.
    EXPECT_EQ(place(Rect{900, 0, 1024, 28}), std::make_pair(816, 36));
    // Along the left, icons at the bottom: bottom left.
    EXPECT_EQ(place(Rect{0, 700, 60, 768}), std::make_pair(8, 592));
    // None at all, or one without a size: bottom right.
    EXPECT_EQ(place(std::nullopt), std::make_pair(816, 660));
    EXPECT_EQ(place(Rect{0, 0, 0, 0}), std::make_pair(816, 660));
}

TEST_F(MainWindowTest, StartAtLoginThatCannotBeWrittenIsReported) {
    Create();
    platform.Script("SaveShellLinkA", kEFail);
    EXPECT_TRUE(Command(kCommandStartAtLogin).empty());
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Failed to write file");
    EXPECT_EQ(window.IconId(), kIdle);
}

}  // namespace
}  // namespace pavix
