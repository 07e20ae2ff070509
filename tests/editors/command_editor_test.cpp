#include "editors/command_editor.h"

#include "editor_test_support.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakeDialog;

constexpr std::uint32_t kDialog = CommandEditor::kTemplateId;
constexpr std::int32_t kBuiltin = CommandEditor::kBuiltinRadio;
constexpr std::int32_t kExternal = CommandEditor::kExternalRadio;
constexpr std::int32_t kList = CommandEditor::kCommandList;
constexpr std::int32_t kPath = CommandEditor::kPathEdit;
constexpr std::int32_t kBrowse = CommandEditor::kBrowseButton;
constexpr std::int32_t kParameter = CommandEditor::kParameterEdit;
constexpr std::int32_t kDirectory = CommandEditor::kDirectoryEdit;
constexpr std::uint32_t kBrowseFlags = 0x00880028;  // NOCHANGEDIR | EXPLORER | SIZING | HOOK

// What the editor builds after the user's actions and OK.
struct Built {
    bool builtin = false;
    BuiltinCommandId id = -1;
    std::string path, parameter, directory;
};

class CommandEditorTest : public EditorTest {
  protected:
    Built Edit(const Command* command, const std::function<void(FakeDialog&)>& user) {
        CommandEditor editor(platform, dialogs, command);
        const std::intptr_t result = Run(editor, kDialog, user);
        EXPECT_EQ(result, kIdOk);
        const std::unique_ptr<Command> built = editor.Build();
        if (built->IsBuiltin()) {
            return Built{true, static_cast<const BuiltinCommand&>(*built).Id(), "", "", ""};
        }
        const auto& external = static_cast<const ExternalCommand&>(*built);
        return Built{false, -1, external.Path(), external.Parameter(), external.Directory()};
    }
    void SwitchTo(FakeDialog& dialog, std::int32_t radio) {
        EXPECT_TRUE(dialog.ClickRadio(radio, {kBuiltin, kExternal}));
    }
    static void ExpectKind(FakeDialog& dialog, bool builtin) {
        EXPECT_EQ(dialog.Check(kBuiltin), builtin ? 1 : 0);
        EXPECT_EQ(dialog.Check(kExternal), builtin ? 0 : 1);
        EXPECT_EQ(dialog.Enabled(kList), builtin);
        for (std::int32_t id : {kPath, kBrowse, kParameter, kDirectory}) {
            EXPECT_EQ(dialog.Enabled(id), !builtin) << id;
        }
    }
};

TEST_F(CommandEditorTest, AddingStartsWithDoNothingAndListsEveryBuiltinInIdOrder) {
    const Built built = Edit(nullptr, [](FakeDialog& dialog) {
        ExpectKind(dialog, true);
        const auto& rows = dialog.Control(kList).rows;
        ASSERT_EQ(rows.size(), 16u);
        EXPECT_EQ(rows[0], "Do nothing");
        EXPECT_EQ(rows[2], "Disable Hotkey");
        EXPECT_EQ(rows[3], "Exit Pavix");
        EXPECT_EQ(rows[15], "Start Screen Saver");
        EXPECT_EQ(dialog.Control(kList).comboSelection, 0);
        EXPECT_EQ(dialog.Text(kPath), "");
        EXPECT_TRUE(dialog.initialFocusByPlatform);
        dialog.Click(kIdOk);
    });
    EXPECT_TRUE(built.builtin);
    EXPECT_EQ(built.id, kDoNothing);
}

TEST_F(CommandEditorTest, BuiltinCommandOpensOnItsRowWithEmptyDisabledEdits) {
    const BuiltinCommand lock(kLockSystem);
    const Built kept = Edit(&lock, [](FakeDialog& dialog) {
        ExpectKind(dialog, true);
        EXPECT_EQ(dialog.Control(kList).comboSelection, kLockSystem);
        for (std::int32_t id : {kPath, kParameter, kDirectory}) {
            EXPECT_EQ(dialog.Text(id), "");
        }
        dialog.Click(kIdOk);
    });
    EXPECT_EQ(kept.id, kLockSystem);
    const Built chosen = Edit(&lock, [](FakeDialog& dialog) {
        dialog.ChooseRow(kList, kForceReboot);
        dialog.Click(kIdOk);
    });
    EXPECT_EQ(chosen.id, kForceReboot);
    EXPECT_EQ(lock.Id(), kLockSystem);
}

TEST_F(CommandEditorTest, ExternalCommandOpensWithItsTextsAndRowZeroInTheDisabledList) {
    const ExternalCommand notepad("notepad.exe", "a.txt", "C:\\work");
    const Built kept = Edit(&notepad, [](FakeDialog& dialog) {
        ExpectKind(dialog, false);
        EXPECT_EQ(dialog.Text(kPath), "notepad.exe");
        EXPECT_EQ(dialog.Text(kParameter), "a.txt");
        EXPECT_EQ(dialog.Text(kDirectory), "C:\\work");
        EXPECT_EQ(dialog.Control(kList).comboSelection, 0);
        dialog.Click(kIdOk);
    });
    EXPECT_FALSE(kept.builtin);
    EXPECT_EQ(kept.path + "|" + kept.parameter + "|" + kept.directory,
              "notepad.exe|a.txt|C:\\work");

    const Built switched = Edit(&notepad, [&](FakeDialog& dialog) {
        SwitchTo(dialog, kBuiltin);
        ExpectKind(dialog, true);
        EXPECT_EQ(dialog.Text(kPath), "notepad.exe");
        dialog.Click(kIdOk);
    });
    EXPECT_TRUE(switched.builtin);
    EXPECT_EQ(switched.id, kDoNothing);
}

TEST_F(CommandEditorTest, TextsTypedForExternalAreDroppedWhenBuiltinIsChosenAgain) {
    const Built built = Edit(nullptr, [&](FakeDialog& dialog) {
        SwitchTo(dialog, kExternal);
        ExpectKind(dialog, false);
        dialog.Type(kPath, "calc.exe");
        SwitchTo(dialog, kBuiltin);
        EXPECT_EQ(dialog.Text(kPath), "calc.exe");
        dialog.ChooseRow(kList, kExitPavix);
        dialog.Click(kIdOk);
    });
    EXPECT_TRUE(built.builtin);
    EXPECT_EQ(built.id, kExitPavix);
}

TEST_F(CommandEditorTest, ExternalTextsAreTakenVerbatimEvenWhenEmpty) {
    const struct {
        std::string path, parameter, directory;
    } cases[] = {{"", "", ""}, {"  spaced  ", "-x \"y\"", "D:\\"}};
    for (const auto& c : cases) {
        const Built built = Edit(nullptr, [&](FakeDialog& dialog) {
            SwitchTo(dialog, kExternal);
            dialog.Type(kPath, c.path);
            dialog.Type(kParameter, c.parameter);
            dialog.Type(kDirectory, c.directory);
            dialog.Click(kIdOk);
        });
        EXPECT_FALSE(built.builtin);
        EXPECT_EQ(built.path, c.path);
        EXPECT_EQ(built.parameter, c.parameter);
        EXPECT_EQ(built.directory, c.directory);
    }
}

TEST_F(CommandEditorTest, BrowseReplacesTheWholePathAndKeepsTheOtherTexts) {
    platform.dialogs.fileChoice = "C:\\Tools\\run.bat";
    const Built built = Edit(nullptr, [&](FakeDialog& dialog) {
        SwitchTo(dialog, kExternal);
        dialog.Type(kPath, "typed");
        dialog.Type(kParameter, "-p");
        dialog.Type(kDirectory, "C:\\");
        dialog.Click(kBrowse);
        EXPECT_EQ(dialog.Text(kPath), "C:\\Tools\\run.bat");
        EXPECT_EQ(dialog.Text(kParameter), "-p");
        ExpectKind(dialog, false);
        dialog.Click(kIdOk);
    });
    EXPECT_EQ(built.path, "C:\\Tools\\run.bat");
    EXPECT_EQ(built.directory, "C:\\");
    EXPECT_EQ(platform.CallsNamed("GetOpenFileNameA"),
              (fake::Calls{Call("GetOpenFileNameA", Last(kDialog).Handle(), "All Files|*.*",
                                "typed", 260, kBrowseFlags, kPlatformTitle, kNoExtension)}));
}

TEST_F(CommandEditorTest, BrowseCancelledKeepsThePathAndTakesAtMost259Characters) {
    const ExternalCommand command(std::string(300, 'l'), "", "");
    const Built built = Edit(&command, [](FakeDialog& dialog) {
        dialog.Click(kBrowse);
        dialog.Command(kBrowse, 5);  // not a click
        EXPECT_EQ(dialog.Text(kPath), std::string(300, 'l'));
        dialog.Click(kIdOk);
    });
    EXPECT_EQ(built.path, std::string(300, 'l'));
    const fake::Calls browse = platform.CallsNamed("GetOpenFileNameA");
    ASSERT_EQ(browse.size(), 1u);
    EXPECT_EQ(browse[0].args[2], fake::FormatArg(std::string(259, 'l')));
}

TEST_F(CommandEditorTest, TextThePlatformWithholdsBeepsFocusesItsEditAndOkStillCloses) {
    const ExternalCommand command("old", "param", "dir");
    const Built built = Edit(&command, [&](FakeDialog& dialog) {
        const std::string pathEdit = fake::FormatArg(dialog.ItemHandle(kPath));
        platform.Script("GetWindowTextA", 0, 0,
                        [=](const Call& call) { return call.args[0] == pathEdit; });
        dialog.Type(kPath, "new");
        dialog.Type(kParameter, "changed");
        dialog.Click(kIdOk);
        EXPECT_EQ(dialog.focus, kPath);
    });
    EXPECT_EQ(Beeps(kSimpleBeep), 1);
    EXPECT_EQ(built.path, "old");
    EXPECT_EQ(built.parameter, "param");
}

TEST_F(CommandEditorTest, JapaneseCopyListsTheJapaneseNames) {
    platform.language = resources::Language::Japanese;
    Edit(nullptr, [](FakeDialog& dialog) {
        EXPECT_EQ(dialog.Control(kList).rows[0], "\x89\xBD\x82\xE0\x82\xB5\x82\xC8\x82\xA2");
        dialog.Click(kIdOk);
    });
}

}  // namespace
}  // namespace pavix
