#include "editors/config_dialog.h"

#include "editor_test_support.h"
#include "editors/hotkey_editor.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakeDialog;

constexpr std::uint32_t kDialog = ConfigDialog::kTemplateId;
constexpr std::int32_t kEnableBox = ConfigDialog::kAbortEnableBox;
constexpr std::int32_t kKeyField = ConfigDialog::kAbortKeyField;
constexpr std::int32_t kTimeoutField = ConfigDialog::kTimeoutField;
constexpr std::int32_t kChange = ConfigDialog::kChangeButton;
// Path fields, Browse and Play buttons in SoundEvent order.
constexpr std::int32_t kPaths[] = {1032, 1033, 1034, 1035, 1037, 1036};
constexpr std::int32_t kBrowse[] = {1050, 1051, 1052, 1053, 1054, 1055};
constexpr std::int32_t kPlay[] = {1041, 1042, 1043, 1044, 1045, 1046};
constexpr std::uint32_t kBrowseFlags = 0x00880008;  // NOCHANGEDIR | EXPLORER | ENABLESIZING

const std::vector<std::string> kSounds = {"m.wav", "x.wav", "a.wav", "t.wav", "e.wav", "d.wav"};

class ConfigDialogTest : public EditorTest {
  protected:
    std::intptr_t Open(const std::function<void(FakeDialog&)>& user) {
        ConfigDialog dialog(platform, dialogs);
        return Run(dialog, kDialog, user);
    }
    void ExpectHotkeyEditor(const std::function<void(FakeDialog&)>& user) {
        platform.dialogs.Expect(HotkeyEditor::kTemplateId, user);
    }
};

TEST_F(ConfigDialogTest, WithoutConfigFileShowsTheDefaultsAndOkSavesExactlyThem) {
    EXPECT_EQ(Open([](FakeDialog& dialog) {
                  EXPECT_EQ(dialog.Check(kEnableBox), 0);
                  EXPECT_EQ(dialog.Text(kKeyField), "+---");
                  EXPECT_EQ(dialog.Text(kTimeoutField), "5000");
                  for (int row = 0; row < kSoundEventCount; ++row) {
                      EXPECT_EQ(dialog.Text(kPaths[row]), DefaultSounds()[row]) << row;
                      EXPECT_EQ(dialog.Control(kPaths[row]).textLimit, 260u);
                  }
                  EXPECT_EQ(dialog.Control(kTimeoutField).textLimit,
                            fake::FakeControl::kDefaultTextLimit);
                  EXPECT_TRUE(dialog.initialFocusByPlatform);
                  dialog.Click(kIdOk);
              }),
              kIdOk);
    EXPECT_EQ(platform.files[kConfigPath], ConfigBytes(0, 0, DefaultSounds(), 5000));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(ConfigDialogTest, OkSavesEverythingTheUserChanged) {
    platform.files[kConfigPath] = ConfigBytes(0, 0x00410003, kSounds, 1000);
    Open([](FakeDialog& dialog) {
        EXPECT_EQ(dialog.Text(kKeyField), "[C][A]+A");
        EXPECT_EQ(dialog.Text(kPaths[kSoundDisable]), "d.wav");
        dialog.ClickCheckBox(kEnableBox);
        dialog.Type(kTimeoutField, "-250");
        dialog.Type(kPaths[kSoundMismatch], "");
        dialog.Type(kPaths[kSoundEnable], "C:\\on.wav");
        dialog.Type(kPaths[kSoundTimeout], std::string(300, 'p'));
        dialog.Click(kIdOk);
    });
    const std::vector<std::string> saved = {"m.wav",      "",     "a.wav", std::string(260, 'p'),
                                            "C:\\on.wav", "d.wav"};
    EXPECT_EQ(platform.files[kConfigPath], ConfigBytes(1, 0x00410003, saved, -250));
}

TEST_F(ConfigDialogTest, StoredAbortSwitchShowsAsTwoStateBox) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 0}, {1, 1}, {2, 1}, {5, 0}, {-1, 0}};
    for (const auto& [stored, saved] : cases) {
        platform.files[kConfigPath] = ConfigBytes(stored, 0, kSounds, 1);
        Open([](FakeDialog& dialog) { dialog.Click(kIdOk); });
        EXPECT_EQ(platform.files[kConfigPath], ConfigBytes(saved, 0, kSounds, 1)) << stored;
    }
}

TEST_F(ConfigDialogTest, CancelAfterAnyChangeLeavesConfigFileUntouched) {
    const std::string before = ConfigBytes(1, 0x00410003, kSounds, 1000);
    platform.files[kConfigPath] = before;
    ExpectHotkeyEditor([](FakeDialog& editor) {
        editor.ChooseRow(HotkeyEditor::kKeyList, 0x42);
        editor.Click(kIdOk);
    });
    EXPECT_EQ(Open([](FakeDialog& dialog) {
                  dialog.Click(kChange);
                  dialog.ClickCheckBox(kEnableBox);
                  dialog.Type(kTimeoutField, "7");
                  dialog.Type(kPaths[0], "new.wav");
                  dialog.Click(kIdCancel);
              }),
              kIdCancel);
    EXPECT_EQ(platform.files[kConfigPath], before);
    EXPECT_TRUE(platform.CallsNamed({"WriteFile", "MoveFileExA"}).empty());
}

TEST_F(ConfigDialogTest, ChangeEditsTheAbortKeyAndKeepsEverythingTyped) {
    platform.files[kConfigPath] = ConfigBytes(0, 0x00410003, kSounds, 1000);
    ExpectHotkeyEditor([](FakeDialog& editor) {
        EXPECT_EQ(editor.Control(HotkeyEditor::kKeyList).comboSelection, 0x41);
        EXPECT_EQ(editor.Check(HotkeyEditor::kControlBox), 1);
        EXPECT_EQ(editor.Check(HotkeyEditor::kWinBox), 0);
        editor.ClickCheckBox(HotkeyEditor::kControlBox);
        editor.ClickCheckBox(HotkeyEditor::kWinBox);
        editor.ChooseRow(HotkeyEditor::kKeyList, 0x1B);
        editor.Click(kIdOk);
    });
    Open([&](FakeDialog& dialog) {
        dialog.Type(kTimeoutField, "42");
        dialog.Type(kPaths[2], "typed.wav");
        dialog.Click(kChange);
        EXPECT_EQ(dialog.Text(kKeyField), "[A][W]+Esc");
        EXPECT_EQ(dialog.Check(kEnableBox), 0);
        EXPECT_EQ(dialog.Text(kTimeoutField), "42");
        EXPECT_EQ(dialog.Text(kPaths[2]), "typed.wav");
        dialog.Click(kIdOk);
    });
    const std::vector<std::string> saved = {"m.wav", "x.wav", "typed.wav",
                                            "t.wav", "e.wav", "d.wav"};
    EXPECT_EQ(platform.files[kConfigPath], ConfigBytes(0, 0x001B0009, saved, 42));
    EXPECT_EQ(platform.CallsNamed("DialogBoxParamA")[1],
              Call("DialogBoxParamA", fake::FakePlatform::kInstance, HotkeyEditor::kTemplateId,
                   Last(kDialog).Handle(), 0));
}

TEST_F(ConfigDialogTest, ChangeCancelledInTheEditorChangesNothing) {
    platform.files[kConfigPath] = ConfigBytes(1, 0x00410003, kSounds, 1000);
    ExpectHotkeyEditor([](FakeDialog& editor) {
        editor.ChooseRow(HotkeyEditor::kKeyList, 0x1B);
        editor.Click(kIdCancel);
    });
    Open([](FakeDialog& dialog) {
        dialog.Type(kPaths[5], "mine.wav");
        dialog.Click(kChange);
        EXPECT_EQ(dialog.Text(kKeyField), "[C][A]+A");
        EXPECT_EQ(dialog.Text(kPaths[5]), "mine.wav");
        EXPECT_EQ(dialog.Check(kEnableBox), 1);
        dialog.Click(kIdOk);
    });
    const std::vector<std::string> saved = {"m.wav", "x.wav", "a.wav",
                                            "t.wav", "e.wav", "mine.wav"};
    EXPECT_EQ(platform.files[kConfigPath], ConfigBytes(1, 0x00410003, saved, 1000));
}

TEST_F(ConfigDialogTest, BrowseFillsItsOwnRowFromTheFileDialog) {
    platform.files[kConfigPath] = ConfigBytes(0, 0, kSounds, 1000);
    for (int row = 0; row < kSoundEventCount; ++row) {
        platform.calls.clear();
        platform.dialogs.fileChoice = "D:\\sounds\\chosen.wav";
        Open([&](FakeDialog& dialog) {
            dialog.Type(kTimeoutField, "77");
            dialog.Click(kBrowse[row]);
            for (int other = 0; other < kSoundEventCount; ++other) {
                EXPECT_EQ(dialog.Text(kPaths[other]),
                          other == row ? "D:\\sounds\\chosen.wav" : kSounds[other]);
            }
            EXPECT_EQ(dialog.Text(kTimeoutField), "77");
            dialog.Close();
        });
        EXPECT_EQ(
            platform.CallsNamed("GetOpenFileNameA"),
            (fake::Calls{Call("GetOpenFileNameA", Last(kDialog).Handle(), "All Files|*.*",
                              kSounds[row], 260, kBrowseFlags, kPlatformTitle, kNoExtension)}))
            << row;
    }
}

TEST_F(ConfigDialogTest, BrowseCancelledKeepsTheRowAndTakesAtMost259Characters) {
    Open([](FakeDialog& dialog) {
        dialog.Type(kPaths[1], std::string(260, 'q'));
        dialog.Type(kPaths[3], "kept.wav");
        dialog.Click(kBrowse[1]);
        EXPECT_EQ(dialog.Text(kPaths[1]), std::string(260, 'q'));
        EXPECT_EQ(dialog.Text(kPaths[3]), "kept.wav");
        dialog.Close();
    });
    const fake::Calls browse = platform.CallsNamed("GetOpenFileNameA");
    ASSERT_EQ(browse.size(), 1u);
    EXPECT_EQ(browse[0].args[2], fake::FormatArg(std::string(259, 'q')));
}

TEST_F(ConfigDialogTest, PlayPlaysItsRowsTextEvenWhenEmpty) {
    platform.files[kConfigPath] = ConfigBytes(0, 0, kSounds, 1000);
    Open([](FakeDialog& dialog) {
        dialog.Type(kPaths[kSoundAbort], "");
        for (std::int32_t button : kPlay) {
            dialog.Click(button);
        }
        dialog.Command(kPlay[0], 5);  // a double-click notification is no click
        dialog.Close();
    });
    fake::Calls expected;
    for (const char* path : {"m.wav", "x.wav", "", "t.wav", "e.wav", "d.wav"}) {
        expected.push_back(Call("PlaySoundA", path, 0, kPlayFileAsync));
    }
    EXPECT_EQ(platform.CallsNamed("PlaySoundA"), expected);
}

// A time-out field without a signed 32-bit number stops OK, Change and the sound buttons: a beep,
// the focus on the field, and the dialog as the user left it.
TEST_F(ConfigDialogTest, TimeoutThatIsNoNumberHoldsEveryActionBack) {
    const std::int32_t buttons[] = {kIdOk, kChange, kBrowse[0], kPlay[4]};
    for (const std::string timeout : {"", "2147483648", "-2147483649", "12x"}) {
        for (std::int32_t button : buttons) {
            platform.calls.clear();
            platform.files.erase(kConfigPath);
            platform.dialogs.fileChoice = "D:\\never.wav";
            Open([&](FakeDialog& dialog) {
                dialog.Type(kPaths[0], "typed.wav");
                dialog.Type(kTimeoutField, timeout);
                dialog.Click(button);
                EXPECT_FALSE(dialog.ended);
                EXPECT_EQ(dialog.focus, kTimeoutField);
                EXPECT_EQ(dialog.Text(kTimeoutField), timeout);
                EXPECT_EQ(dialog.Text(kPaths[0]), "typed.wav");
                dialog.Close();
            });
            EXPECT_EQ(Beeps(kSimpleBeep), 1) << timeout << " " << button;
            EXPECT_EQ(platform.files.count(kConfigPath), 0u);
            EXPECT_EQ(platform.CallsNamed({"PlaySoundA", "GetOpenFileNameA"}).size(), 0u);
            EXPECT_EQ(platform.dialogs.RunCount(HotkeyEditor::kTemplateId), 0);
        }
    }
}

TEST_F(ConfigDialogTest, TimeoutAcceptsTheWholeSigned32BitRange) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"0", 0}, {" 15", 15}};
    for (const auto& [typed, saved] : cases) {
        platform.files.erase(kConfigPath);
        Open([&](FakeDialog& dialog) {
            dialog.Type(kTimeoutField, typed);
            dialog.Click(kIdOk);
        });
        EXPECT_EQ(platform.files[kConfigPath], ConfigBytes(0, 0, DefaultSounds(), saved)) << typed;
    }
}

TEST_F(ConfigDialogTest, UnusableConfigFileIsReportedAndTheDialogOpensAnyway) {
    platform.files[kConfigPath] = "broken";
    EXPECT_EQ(Open([](FakeDialog& dialog) {
                  EXPECT_EQ(dialog.Text(kTimeoutField), "0");
                  EXPECT_EQ(dialog.Text(kPaths[0]), "");
                  dialog.Click(kIdOk);
              }),
              kIdOk);
    EXPECT_EQ(platform.messageBoxes, std::vector<fake::MessageBox>{testing::WithBackupNote(
                                         testing::kInvalidFormat, kConfigBackupPath)});
}

TEST_F(ConfigDialogTest, ConfigFileThatCannotBeWrittenIsReportedAndOkStillCloses) {
    platform.Script("CreateFileA", kInvalidHandleValue, kErrorAccessDenied, [](const Call& call) {
        return call.args[1] == fake::FormatArg(kGenericWrite);
    });
    EXPECT_EQ(Open([](FakeDialog& dialog) { dialog.Click(kIdOk); }), kIdOk);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Failed to open file for writing");
}

}  // namespace
}  // namespace pavix
