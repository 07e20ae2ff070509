#include "editors/sequence_editor.h"

#include "sequence_editor_support.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakeDialog;
using Ids = std::set<std::int32_t>;

TEST_F(SequenceEditorTest, WithoutFileOpensEmptyWithOnlySequenceAddEnabled) {
    EXPECT_EQ(Open([](FakeDialog& dialog) {
                  EXPECT_EQ(dialog.ItemCount(Editor::kSequenceList), 0);
                  EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 0);
                  EXPECT_EQ(dialog.ItemCount(Editor::kCommandList), 0);
                  EXPECT_EQ(EnabledButtons(dialog), (Ids{Editor::kSequenceAdd}));
                  EXPECT_TRUE(dialog.initialFocusByPlatform);
                  dialog.Close();
              }),
              kIdCancel);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.files.count(kSequencePath), 0u);
}

TEST_F(SequenceEditorTest, OpensWithTheFirstSequenceShownButNoRowSelected) {
    WriteSample();
    Open([](FakeDialog& dialog) {
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"A", "! B", "! C"}));
        EXPECT_EQ(dialog.SelectedRow(Editor::kSequenceList), -1);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "A");
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 2);
        EXPECT_EQ(dialog.ItemCount(Editor::kCommandList), 2);
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{Editor::kSequenceAdd, Editor::kKeyAdd, Editor::kCommandAdd}));
        dialog.Close();
    });
}

TEST_F(SequenceEditorTest, SetsBothIconsAndTheColumnsOfTheThreeLists) {
    Open([](FakeDialog& dialog) {
        EXPECT_EQ(dialog.icons.at(kIconBig), 0x3000u + 101);
        EXPECT_EQ(dialog.icons.at(kIconSmall), 0x3000u + 101);
        const std::int32_t width = fake::FakeControl::kClientWidth;
        for (std::int32_t list : {Editor::kSequenceList, Editor::kCommandList}) {
            ASSERT_EQ(dialog.Control(list).columns.size(), 1u);
            EXPECT_EQ(dialog.Control(list).columns[0].title, "");
            EXPECT_EQ(dialog.Control(list).columns[0].width, width);
        }
        const auto& keyColumns = dialog.Control(Editor::kKeyList).columns;
        ASSERT_EQ(keyColumns.size(), 2u);
        EXPECT_EQ(keyColumns[0].title, "Modifiers");
        EXPECT_EQ(keyColumns[0].width, 80);
        EXPECT_EQ(keyColumns[1].title, "Key");
        EXPECT_EQ(keyColumns[1].width, width - 80 - 17);
        for (std::int32_t list : {Editor::kSequenceList, Editor::kKeyList, Editor::kCommandList}) {
            EXPECT_EQ(dialog.Control(list).extendedStyle, kLvsExFullRowSelect);
        }
        dialog.Close();
    });
    const auto instance = fake::FakePlatform::kInstance;
    EXPECT_EQ(platform.CallsNamed({"LoadImageA", "DestroyIcon"}),
              (fake::Calls{Call("LoadImageA", instance, 101, kImageIcon, 32, 32, 0),
                           Call("LoadImageA", instance, 101, kImageIcon, 16, 16, 0),
                           Call("DestroyIcon", 0x3000 + 101), Call("DestroyIcon", 0x3000 + 101)}));
}

// The dialog comes scaled by the system; what the editor sizes itself follows the dialog's DPI.
TEST_F(SequenceEditorTest, ColumnsAndIconsFollowTheDialogsScale) {
    for (std::uint32_t dpi : {144u, 192u}) {
        platform.dpi = dpi;
        platform.calls.clear();
        Open([dpi](FakeDialog& dialog) {
            const auto& keyColumns = dialog.Control(Editor::kKeyList).columns;
            ASSERT_EQ(keyColumns.size(), 2u);
            const std::int32_t modifiers = static_cast<std::int32_t>(80 * dpi / 96);
            const std::int32_t scrollBar = static_cast<std::int32_t>(17 * dpi / 96);
            EXPECT_EQ(keyColumns[0].width, modifiers);
            EXPECT_EQ(keyColumns[1].width, fake::FakeControl::kClientWidth - modifiers - scrollBar);
            dialog.Close();
        });
        const auto instance = fake::FakePlatform::kInstance;
        const std::int32_t big = static_cast<std::int32_t>(dpi / 3);
        EXPECT_EQ(
            platform.CallsNamed("LoadImageA"),
            (fake::Calls{Call("LoadImageA", instance, 101, kImageIcon, big, big, 0),
                         Call("LoadImageA", instance, 101, kImageIcon, big / 2, big / 2, 0)}));
    }
}

// The key list's column titles are texts of the user's language: Shift-JIS bytes shown in an
// English session come out garbled.
TEST_F(SequenceEditorTest, KeyColumnTitlesFollowTheUserLanguage) {
    platform.language = resources::Language::Japanese;
    Open([](FakeDialog& dialog) {
        const auto& keyColumns = dialog.Control(Editor::kKeyList).columns;
        ASSERT_EQ(keyColumns.size(), 2u);
        EXPECT_EQ(keyColumns[0].title, "\x8F\x43\x8F\xFC\x83\x4C\x81\x5B");  // 修飾キー
        EXPECT_EQ(keyColumns[1].title, "\x83\x4C\x81\x5B");                  // キー
        dialog.Close();
    });
}

TEST_F(SequenceEditorTest, DamagedRecordIsReportedOnceAndTheRecordsBeforeItStay) {
    platform.files[kSequencePath] = SequenceHeader() + SampleRecordA() + SampleRecordB() +
                                    SequenceBytes("bad", {}, {Builtin(16)}) + SampleRecordC();
    Open([](FakeDialog& dialog) {
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"A", "! B"}));
        dialog.Close();
    });
    EXPECT_EQ(platform.messageBoxes, std::vector<fake::MessageBox>{testing::WithBackupNote(
                                         testing::kInvalidFormat, kSequenceBackupPath)});
}

TEST_F(SequenceEditorTest, UnusableHeaderIsReportedByTheFileAloneAndTheListStaysEmpty) {
    platform.files[kSequencePath] = "PavixSeq";
    Open([](FakeDialog& dialog) {
        EXPECT_EQ(dialog.ItemCount(Editor::kSequenceList), 0);
        dialog.Close();
    });
    EXPECT_EQ(platform.messageBoxes, std::vector<fake::MessageBox>{testing::WithBackupNote(
                                         testing::kInvalidFormat, kSequenceBackupPath)});
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

// Every case of the button-state table: list size, selected row and whether a sequence is shown.
TEST_F(SequenceEditorTest, ButtonStatesFollowSizeSelectionAndCurrentSequence) {
    platform.files[kSequencePath] = SequenceHeader() + SampleRecordA() + SampleRecordC();
    Open([](FakeDialog& dialog) {
        const std::int32_t add = Editor::kSequenceAdd;
        dialog.SelectRow(Editor::kSequenceList, 0);
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{add, Editor::kSequenceDelete, Editor::kSequenceCopy, Editor::kSequenceDown,
                       Editor::kKeyAdd, Editor::kCommandAdd}));
        dialog.SelectRow(Editor::kSequenceList, 1);
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{add, Editor::kSequenceDelete, Editor::kSequenceCopy, Editor::kSequenceUp,
                       Editor::kKeyAdd, Editor::kCommandAdd}));
        dialog.SelectRow(Editor::kKeyList, 0);  // "C" has one key and no commands
        EXPECT_EQ(
            EnabledButtons(dialog),
            (Ids{add, Editor::kSequenceDelete, Editor::kSequenceCopy, Editor::kSequenceUp,
                 Editor::kKeyAdd, Editor::kKeyEdit, Editor::kKeyDelete, Editor::kCommandAdd}));
        dialog.SelectRow(Editor::kSequenceList, 0);  // "A": the key row stays selected
        dialog.SelectRow(Editor::kCommandList, 1);
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{add, Editor::kSequenceDelete, Editor::kSequenceCopy, Editor::kSequenceDown,
                       Editor::kKeyAdd, Editor::kKeyEdit, Editor::kKeyDelete, Editor::kKeyDown,
                       Editor::kCommandAdd, Editor::kCommandEdit, Editor::kCommandDelete,
                       Editor::kCommandUp}));
        dialog.SelectRow(Editor::kKeyList, 1);
        dialog.SelectRow(Editor::kCommandList, 0);
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{add, Editor::kSequenceDelete, Editor::kSequenceCopy, Editor::kSequenceDown,
                       Editor::kKeyAdd, Editor::kKeyEdit, Editor::kKeyDelete, Editor::kKeyUp,
                       Editor::kCommandAdd, Editor::kCommandEdit, Editor::kCommandDelete,
                       Editor::kCommandDown}));
        dialog.SelectRow(Editor::kSequenceList, -1);  // no row selected: "A" stays shown
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "A");
        EXPECT_EQ(EnabledButtons(dialog),
                  (Ids{add, Editor::kKeyAdd, Editor::kKeyEdit, Editor::kKeyDelete, Editor::kKeyUp,
                       Editor::kCommandAdd, Editor::kCommandEdit, Editor::kCommandDelete,
                       Editor::kCommandDown}));
        dialog.SelectRow(Editor::kSequenceList, 1);
        dialog.Click(Editor::kSequenceDelete);  // the last row: nothing is shown any more
        EXPECT_EQ(EnabledButtons(dialog), (Ids{add}));
        dialog.SelectRow(Editor::kSequenceList, 0);  // the only row; "C" took the other rows'
                                                     // selections when its lists shrank
        EXPECT_EQ(EnabledButtons(dialog), (Ids{add, Editor::kSequenceDelete, Editor::kSequenceCopy,
                                               Editor::kKeyAdd, Editor::kCommandAdd}));
        dialog.Close();
    });
}

TEST_F(SequenceEditorTest, ItemChangeStoresTheTypedNameAndShowsTheSelectedSequence) {
    WriteSample();
    const std::string saved = EditAndSave([](FakeDialog& dialog) {
        dialog.Type(Editor::kNameEdit, "lost");  // "A" is shown unselected: it takes the name
        dialog.SelectRow(Editor::kSequenceList, 1);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "B");
        EXPECT_EQ(dialog.ItemCount(Editor::kKeyList), 0);
        EXPECT_EQ(dialog.ItemCount(Editor::kCommandList), 1);
        dialog.Type(Editor::kNameEdit, "Bee");
        dialog.SelectRow(Editor::kCommandList, 0);  // any list's change stores the name
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"lost", "! Bee", "! C"}));
        dialog.Type(Editor::kNameEdit, "Bee2");
        dialog.SelectRow(Editor::kSequenceList, 2);
        dialog.Type(Editor::kNameEdit, "Sea");
    });
    EXPECT_EQ(saved, SequenceHeader() +
                         SequenceBytes("lost", {kChordCtrlAltA, kChordShiftF1},
                                       {Builtin(kLockSystem), External("p", "a", "d")}) +
                         SequenceBytes("Bee2", {}, {Builtin(kDoNothing)}) +
                         SequenceBytes("Sea", {kChordSpace}, {}));
}

TEST_F(SequenceEditorTest, RowTextsComeFromTheListsAndTheCurrentSequence) {
    WriteSample();
    Open([](FakeDialog& dialog) {
        EXPECT_EQ(Rows(dialog, Editor::kKeyList, 0), (Names{"[C][A]", "[S]"}));
        EXPECT_EQ(Rows(dialog, Editor::kKeyList, 1), (Names{"A", "F1"}));
        EXPECT_EQ(Rows(dialog, Editor::kCommandList),
                  (Names{"Lock System", "[Cmd=\"p\"] [Param=\"a\"] [Dir=\"d\"]"}));
        const struct {
            std::int32_t list, row, column, buffer;
            const char* text;
        } cells[] = {
            {Editor::kSequenceList, 0, 1, 260, ""},  {Editor::kSequenceList, 3, 0, 260, ""},
            {Editor::kSequenceList, -1, 0, 260, ""}, {Editor::kKeyList, 2, 0, 260, ""},
            {Editor::kKeyList, 0, 2, 260, ""},       {Editor::kCommandList, 0, 1, 260, ""},
            {Editor::kCommandList, 0, 0, 5, "Lock"}, {Editor::kCommandList, 0, 0, 1, ""},
            {Editor::kKeyList, 0, 0, 3, "[C"},       {Editor::kSequenceList, 2, 0, 4, "! C"},
        };
        for (const auto& cell : cells) {
            EXPECT_EQ(dialog.RowText(cell.list, cell.row, cell.column, cell.buffer), cell.text)
                << cell.list << " " << cell.row << " " << cell.column << " " << cell.buffer;
        }
        dialog.SelectRow(Editor::kSequenceList, 2);
        EXPECT_EQ(Rows(dialog, Editor::kKeyList, 0), (Names{""}));
        EXPECT_EQ(Rows(dialog, Editor::kKeyList, 1), (Names{"Space"}));
        dialog.Click(Editor::kSequenceDelete);
        EXPECT_EQ(dialog.RowText(Editor::kKeyList, 0, 1), "");
        EXPECT_EQ(dialog.RowText(Editor::kCommandList, 0, 0), "");
        dialog.Close();
    });
}

TEST_F(SequenceEditorTest, OkWritesTheWholeListInOrderWithTheTypedName) {
    WriteSample();
    EXPECT_EQ(EditAndSave([](FakeDialog& dialog) {
                  dialog.SelectRow(Editor::kSequenceList, 2);
                  dialog.Type(Editor::kNameEdit, "Renamed");
              }),
              SequenceHeader() + SampleRecordA() + SampleRecordB() +
                  SequenceBytes("Renamed", {kChordSpace}, {}));
    EXPECT_EQ(Last(Editor::kTemplateId).result, kIdOk);
}

TEST_F(SequenceEditorTest, OkOnAnEmptyListWritesTheHeaderAlone) {
    EXPECT_EQ(EditAndSave([](FakeDialog&) {}), SequenceHeader());
}

TEST_F(SequenceEditorTest, CancelAfterAnyChangeLeavesTheFileByteForByte) {
    WriteSample();
    const std::string before = platform.files[kSequencePath];
    EXPECT_EQ(Open([](FakeDialog& dialog) {
                  dialog.Click(Editor::kSequenceAdd);
                  dialog.Type(Editor::kNameEdit, "X");
                  dialog.SelectRow(Editor::kSequenceList, 0);
                  dialog.Click(Editor::kSequenceDelete);
                  dialog.SelectRow(Editor::kKeyList, 0);
                  dialog.Click(Editor::kKeyDelete);
                  dialog.Click(kIdCancel);
              }),
              kIdCancel);
    EXPECT_EQ(platform.files[kSequencePath], before);
    EXPECT_TRUE(platform.CallsNamed({"WriteFile", "MoveFileExA", "DeleteFileA"}).empty());
}

TEST_F(SequenceEditorTest, FileThatCannotBeCreatedIsReportedAndOkStillCloses) {
    WriteSample();
    const std::string before = platform.files[kSequencePath];
    platform.Script("CreateFileA", kInvalidHandleValue, kErrorAccessDenied, [](const Call& call) {
        return call.args[1] == fake::FormatArg(kGenericWrite);
    });
    EXPECT_EQ(Open([](FakeDialog& dialog) { dialog.Click(kIdOk); }), kIdOk);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Failed to open file for writing");
    EXPECT_EQ(platform.files[kSequencePath], before);
}

TEST_F(SequenceEditorTest, NameThePlatformWithholdsBeepsAndFocusesTheEdit) {
    WriteSample();
    const std::string saved = EditAndSave([&](FakeDialog& dialog) {
        dialog.SelectRow(Editor::kSequenceList, 0);
        dialog.Type(Editor::kNameEdit, "typed");
        platform.Script("GetWindowTextA", 0, 0, {}, 1);
        dialog.SelectRow(Editor::kKeyList, 0);
        EXPECT_EQ(dialog.focus, Editor::kNameEdit);
        EXPECT_EQ(dialog.Text(Editor::kNameEdit), "A");  // shown again with the kept name
        dialog.Type(Editor::kNameEdit, "typed");
    });
    EXPECT_EQ(Beeps(kSimpleBeep), 1);
    EXPECT_EQ(saved.substr(14, 9), Text("typed"));
}

// Sequences that can never run are marked, and why is told for the one shown, as the user edits;
// OK saves them all the same.
TEST_F(SequenceEditorTest, WarningsFollowTheEditsAndOkStillSaves) {
    constexpr std::uint32_t kP = 0x00500003, kN = 0x004E0003, kL = 0x004C0003;
    const testing::CommandSpec lock = Builtin(kLockSystem);
    platform.files[kSequencePath] = SequenceHeader() + SequenceBytes("Notes", {kP, kN}, {lock}) +
                                    SequenceBytes("Other", {kP, kN}, {lock}) +
                                    SequenceBytes("Fine", {kP, kL}, {lock});
    platform.takenChords.insert({kModControl | kModAlt, 'L'});
    const std::string saved = EditAndSave([&](FakeDialog& dialog) {
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"Notes", "! Other", "! Fine"}));
        EXPECT_EQ(dialog.Text(Editor::kWarningText), "");
        // A selection changes no mark and redraws no row.
        const int opened = dialog.Control(Editor::kSequenceList).redraws;
        dialog.SelectRow(Editor::kSequenceList, 2);
        EXPECT_EQ(dialog.Text(Editor::kWarningText),
                  "Never runs while another program holds [C][A]+L.");
        EXPECT_EQ(dialog.Control(Editor::kSequenceList).redraws, opened);
        dialog.SelectRow(Editor::kSequenceList, 0);
        dialog.Type(Editor::kNameEdit, "Jot");
        dialog.SelectRow(Editor::kSequenceList, 1);
        EXPECT_EQ(dialog.Text(Editor::kWarningText),
                  "Never runs: \"Jot\" completes first on the same keys.");
        // Without its second key "Other" comes first, and the sequence it beat never runs.
        const int redraws = dialog.Control(Editor::kSequenceList).redraws;
        dialog.SelectRow(Editor::kKeyList, 1);
        dialog.Click(Editor::kKeyDelete);
        EXPECT_GT(dialog.Control(Editor::kSequenceList).redraws, redraws);
        EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"! Jot", "Other", "! Fine"}));
        EXPECT_EQ(dialog.Text(Editor::kWarningText), "");
        dialog.SelectRow(Editor::kSequenceList, 0);
        EXPECT_EQ(dialog.Text(Editor::kWarningText),
                  "Never runs: it begins with all the keys of \"Other\", which completes first.");
    });
    EXPECT_EQ(saved, SequenceHeader() + SequenceBytes("Jot", {kP, kN}, {lock}) +
                         SequenceBytes("Other", {kP}, {lock}) +
                         SequenceBytes("Fine", {kP, kL}, {lock}));
    EXPECT_TRUE(platform.hotkeys.empty());
}

}  // namespace
}  // namespace pavix
