#include "editors/command_editor.h"
#include "editors/hotkey_editor.h"
#include "sequence_editor_support.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakeDialog;
using Ids = std::set<std::int32_t>;

const std::string kRecordBee = SequenceBytes("Bee", {}, {Builtin(kDoNothing)});

class SequenceButtonsTest : public SequenceEditorTest {
  protected:
    SequenceButtonsTest() { WriteSample(); }
    void ExpectHotkeyEditor(std::function<void(FakeDialog&)> user) {
        platform.dialogs.Expect(HotkeyEditor::kTemplateId, std::move(user));
    }
    void ExpectCommandEditor(std::function<void(FakeDialog&)> user) {
        platform.dialogs.Expect(CommandEditor::kTemplateId, std::move(user));
    }
    static void ExpectSelected(FakeDialog& dialog, std::int32_t list, std::int32_t row) {
        EXPECT_EQ(dialog.SelectedRow(list), row) << list;
        EXPECT_EQ(dialog.Control(list).visibleRow, row) << list;
    }
};

TEST_F(SequenceButtonsTest, AddAppendsSequencesNamedSequenceAndSelectsEach) {
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.Click(Editor::kSequenceAdd);
        ExpectSelected(dialog, Editor::kSequenceList, 3);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "Sequence");
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 0);
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{Editor::kSequenceAdd, Editor::kSequenceDelete, Editor::kSequenceCopy,
                       Editor::kSequenceUp, Editor::kKeyAdd, Editor::kCommandAdd}));
        dialog.Click(Editor::kSequenceAdd);
        ExpectSelected(dialog, Editor::kSequenceList, 4);
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList),
                  (Names{"A", "! B", "! C", "! Sequence", "! Sequence"}));
    });
    const std::string added = SequenceBytes("Sequence", {}, {});
    EXPECT_EQ(saved, SequenceHeader() + SampleRecordA() + SampleRecordB() + SampleRecordC() +
                         added + added);
}

// The name typed so far belongs to the sequence it was typed for, also when Add or Copy follows
// at once.
TEST_F(SequenceButtonsTest, AddAndCopyFirstStoreTheTypedName) {
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.Type(Editor::kNameEdit, "Ay");
        dialog.Click(Editor::kSequenceAdd);
        dialog.SelectRow(Editor::kSequenceList, 1);
        dialog.Type(Editor::kNameEdit, "Bee");
        dialog.Click(Editor::kSequenceCopy);
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList),
                  (Names{"Ay", "! Bee", "! C", "! Sequence", "! Bee$"}));
    });
    EXPECT_EQ(saved, SequenceHeader() +
                         SequenceBytes("Ay", {kChordCtrlAltA, kChordShiftF1},
                                       {Builtin(kLockSystem), External("p", "a", "d")}) +
                         kRecordBee + SampleRecordC() + SequenceBytes("Sequence", {}, {}) +
                         SequenceBytes("Bee$", {}, {Builtin(kDoNothing)}));
}

TEST_F(SequenceButtonsTest, CopyAppendsADeepCopyAndCopyingTheCopyAddsAnotherDollar) {
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kSequenceList, 0);
        dialog.Click(Editor::kSequenceCopy);
        ExpectSelected(dialog, Editor::kSequenceList, 3);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "A$");
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 2);
        dialog.Click(Editor::kSequenceCopy);
        ExpectSelected(dialog, Editor::kSequenceList, 4);
        dialog.SelectRow(Editor::kKeyList, 0);
        dialog.Click(Editor::kKeyDelete);
        dialog.SelectRow(Editor::kCommandList, 1);
        dialog.Click(Editor::kCommandDelete);
    });
    EXPECT_EQ(saved, SequenceHeader() + SampleRecordA() + SampleRecordB() + SampleRecordC() +
                         SequenceBytes("A$", {kChordCtrlAltA, kChordShiftF1},
                                       {Builtin(kLockSystem), External("p", "a", "d")}) +
                         SequenceBytes("A$$", {kChordShiftF1}, {Builtin(kLockSystem)}));
}

TEST_F(SequenceButtonsTest, DeleteShowsTheFollowingSequenceWithoutSelectingIt) {
    const std::string saved = EditAndSave([&](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kSequenceList, 1);
        dialog.Click(Editor::kSequenceDelete);
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"A", "! C"}));
        EXPECT_EQ(dialog.SelectedRow(Editor::kSequenceList), -1);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "C");
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 1);
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{Editor::kSequenceAdd, Editor::kKeyAdd, Editor::kCommandAdd}));
        EXPECT_TRUE(platform.messageBoxes.empty());
    });
    EXPECT_EQ(saved, SequenceHeader() + SampleRecordA() + SampleRecordC());
}

TEST_F(SequenceButtonsTest, DeletingTheLastRowLeavesNothingShownAndTheNameGoesNowhere) {
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kSequenceList, 2);
        dialog.Click(Editor::kSequenceDelete);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "C");
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 0);
        EXPECT_EQ(dialog.ItemCount(Editor::kCommandList), 0);
        dialog.Type(Editor::kNameEdit, "nowhere");
        dialog.Command(Editor::kKeyAdd);
        dialog.Command(Editor::kCommandAdd);
        dialog.SelectRow(Editor::kSequenceList, 1);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "B");
    });
    EXPECT_EQ(saved, SequenceHeader() + SampleRecordA() + SampleRecordB());
    EXPECT_EQ(platform.dialogs.RunCount(HotkeyEditor::kTemplateId), 0);
    EXPECT_EQ(platform.dialogs.RunCount(CommandEditor::kTemplateId), 0);
}

TEST_F(SequenceButtonsTest, UpAndDownMoveTheSelectedSequenceAndFollowIt) {
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kSequenceList, 1);
        dialog.Type(Editor::kNameEdit, "Bee");
        dialog.Click(Editor::kSequenceUp);
        ExpectSelected(dialog, Editor::kSequenceList, 0);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "Bee");
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"! Bee", "A", "! C"}));
        dialog.Click(Editor::kSequenceDown);
        dialog.Click(Editor::kSequenceDown);
        ExpectSelected(dialog, Editor::kSequenceList, 2);
        EXPECT_EQ(EnabledButtons(dialog).count(Editor::kSequenceDown), 0u);
    });
    EXPECT_EQ(saved, SequenceHeader() + SampleRecordA() + SampleRecordC() + kRecordBee);
    EXPECT_EQ(Beeps(kMbIconAsterisk), 0);
}

// Up at the first row and Down at the last row of any list: a beep, nothing moves.
TEST_F(SequenceButtonsTest, UpAtTheTopAndDownAtTheBottomOnlyBeep) {
    const std::string before = platform.files[kSequencePath];
    const struct {
        std::int32_t list, row, button;
    } cases[] = {
        {Editor::kSequenceList, 0, Editor::kSequenceUp},
        {Editor::kSequenceList, 2, Editor::kSequenceDown},
        {Editor::kKeyList, 0, Editor::kKeyUp},
        {Editor::kKeyList, 1, Editor::kKeyDown},
        {Editor::kCommandList, 0, Editor::kCommandUp},
        {Editor::kCommandList, 1, Editor::kCommandDown},
    };
    for (const auto& c : cases) {
        platform.calls.clear();
        EditAndSave([&](FakeDialog& dialog) {
            if (c.list != Editor::kSequenceList) {
                dialog.SelectRow(Editor::kSequenceList, 0);
            }
            dialog.SelectRow(c.list, c.row);
            EXPECT_FALSE(dialog.Enabled(c.button));
            dialog.Command(c.button);
            EXPECT_EQ(dialog.SelectedRow(c.list), c.row);
        });
        EXPECT_EQ(Beeps(kMbIconAsterisk), 1) << c.button;
        EXPECT_EQ(platform.files[kSequencePath], before) << c.button;
    }
}

TEST_F(SequenceButtonsTest, KeyAddAppendsTheEditorsChordOnlyAfterOk) {
    ExpectHotkeyEditor([](FakeDialog& editor) { editor.Click(kIdOk); });
    ExpectHotkeyEditor([](FakeDialog& editor) {
        editor.ChooseRow(HotkeyEditor::kKeyList, 0x41);
        editor.Click(kIdCancel);
    });
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kSequenceList, 2);
        dialog.Click(Editor::kKeyAdd);
        ExpectSelected(dialog, Editor::kKeyList, 1);
        EXPECT_EQ(dialog.RowText(Editor::kKeyList, 1, 1), "Backspace");
        EXPECT_TRUE(dialog.Enabled(Editor::kKeyUp));
        dialog.Click(Editor::kKeyAdd);
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 2);
        EXPECT_EQ(dialog.SelectedRow(Editor::kKeyList), 1);
    });
    EXPECT_EQ(saved, SequenceHeader() + SampleRecordA() + SampleRecordB() +
                         SequenceBytes("C", {kChordSpace, 0x00080003}, {}));
    EXPECT_EQ(platform.CallsNamed("DialogBoxParamA")[1],
              Call("DialogBoxParamA", fake::FakePlatform::kInstance, HotkeyEditor::kTemplateId,
                   Last(Editor::kTemplateId).Handle(), 0));
}

TEST_F(SequenceButtonsTest, KeyEditOpensOnTheSelectedKeyAndReplacesItOnlyAfterOk) {
    ExpectHotkeyEditor([](FakeDialog& editor) {
        EXPECT_EQ(editor.Control(HotkeyEditor::kKeyList).comboSelection, 0x70);
        EXPECT_EQ(editor.Check(HotkeyEditor::kShiftBox), 1);
        EXPECT_EQ(editor.Check(HotkeyEditor::kControlBox), 0);
        editor.ChooseRow(HotkeyEditor::kKeyList, 0x71);
        editor.Click(kIdOk);
    });
    ExpectHotkeyEditor([](FakeDialog& editor) {
        editor.ChooseRow(HotkeyEditor::kKeyList, 0x72);
        editor.Click(kIdCancel);
    });
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kKeyList, 1);
        const int redraws = dialog.Control(Editor::kKeyList).redraws;
        dialog.Click(Editor::kKeyEdit);
        EXPECT_EQ(dialog.RowText(Editor::kKeyList, 1, 1), "F2");
        dialog.Click(Editor::kKeyEdit);
        EXPECT_EQ(dialog.Control(Editor::kKeyList).redraws, redraws + 2);
    });
    EXPECT_EQ(saved, SequenceHeader() +
                         SequenceBytes("A", {kChordCtrlAltA, 0x00710004},
                                       {Builtin(kLockSystem), External("p", "a", "d")}) +
                         SampleRecordB() + SampleRecordC());
}

TEST_F(SequenceButtonsTest, KeyDeleteUpAndDownActOnTheCurrentSequence) {
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kKeyList, 1);
        dialog.Click(Editor::kKeyUp);
        ExpectSelected(dialog, Editor::kKeyList, 0);
        EXPECT_EQ(dialog.RowText(Editor::kKeyList, 0, 0), "[S]");
        dialog.Click(Editor::kKeyDown);
        ExpectSelected(dialog, Editor::kKeyList, 1);
        dialog.Click(Editor::kKeyDelete);
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 1);
        EXPECT_EQ(EnabledButtons(dialog).count(Editor::kKeyDelete), 0u);
    });
    EXPECT_EQ(saved, SequenceHeader() +
                         SequenceBytes("A", {kChordCtrlAltA},
                                       {Builtin(kLockSystem), External("p", "a", "d")}) +
                         SampleRecordB() + SampleRecordC());
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(SequenceButtonsTest, CommandAddAppendsTheBuiltCommandAndSelectsTheLastRowEvenAfterCancel) {
    ExpectCommandEditor([](FakeDialog& editor) {
        editor.ChooseRow(CommandEditor::kCommandList, kStartScreenSaver);
        editor.Click(kIdOk);
    });
    ExpectCommandEditor([](FakeDialog& editor) { editor.Click(kIdCancel); });
    ExpectCommandEditor([](FakeDialog& editor) { editor.Click(kIdCancel); });
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kSequenceList, 1);
        dialog.Click(Editor::kCommandAdd);
        ExpectSelected(dialog, Editor::kCommandList, 1);
        EXPECT_EQ(dialog.RowText(Editor::kCommandList, 1), "Start Screen Saver");
        dialog.SelectRow(Editor::kCommandList, 0);
        dialog.Click(Editor::kCommandAdd);
        ExpectSelected(dialog, Editor::kCommandList, 1);
        dialog.SelectRow(Editor::kSequenceList, 2);  // "C" has no commands
        dialog.Click(Editor::kCommandAdd);
        EXPECT_EQ(dialog.ItemCount(Editor::kCommandList), 0);
        EXPECT_EQ(dialog.SelectedRow(Editor::kCommandList), -1);
    });
    EXPECT_EQ(saved, SequenceHeader() + SampleRecordA() +
                         SequenceBytes("B", {}, {Builtin(kDoNothing), Builtin(kStartScreenSaver)}) +
                         SampleRecordC());
}

TEST_F(SequenceButtonsTest, CommandEditOpensOnTheSelectedCommandAndReplacesItOnlyAfterOk) {
    ExpectCommandEditor([](FakeDialog& editor) {
        EXPECT_EQ(editor.Check(CommandEditor::kExternalRadio), 1);
        EXPECT_EQ(editor.Text(CommandEditor::kPathEdit), "p");
        editor.Type(CommandEditor::kParameterEdit, "b");
        editor.Click(kIdOk);
    });
    ExpectCommandEditor([](FakeDialog& editor) {
        editor.Type(CommandEditor::kParameterEdit, "never");
        editor.Click(kIdCancel);
    });
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kCommandList, 1);
        const int redraws = dialog.Control(Editor::kCommandList).redraws;
        dialog.Click(Editor::kCommandEdit);
        dialog.Click(Editor::kCommandEdit);
        EXPECT_EQ(dialog.Control(Editor::kCommandList).redraws, redraws + 2);
        EXPECT_EQ(dialog.RowText(Editor::kCommandList, 1), "[Cmd=\"p\"] [Param=\"b\"] [Dir=\"d\"]");
    });
    EXPECT_EQ(saved, SequenceHeader() +
                         SequenceBytes("A", {kChordCtrlAltA, kChordShiftF1},
                                       {Builtin(kLockSystem), External("p", "b", "d")}) +
                         SampleRecordB() + SampleRecordC());
}

TEST_F(SequenceButtonsTest, CommandDeleteUpAndDownActOnTheCurrentSequence) {
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kCommandList, 0);
        dialog.Click(Editor::kCommandDown);
        ExpectSelected(dialog, Editor::kCommandList, 1);
        EXPECT_EQ(dialog.RowText(Editor::kCommandList, 1), "Lock System");
        dialog.Click(Editor::kCommandUp);
        ExpectSelected(dialog, Editor::kCommandList, 0);
        dialog.Click(Editor::kCommandDelete);
        EXPECT_EQ(dialog.ItemCount(Editor::kCommandList), 1);
    });
    EXPECT_EQ(saved,
              SequenceHeader() +
                  SequenceBytes("A", {kChordCtrlAltA, kChordShiftF1}, {External("p", "a", "d")}) +
                  SampleRecordB() + SampleRecordC());
}

}  // namespace
}  // namespace pavix
