// Export and Import in the sequence editor: the file dialogs, the text written and read through
// the stand-in's file system, what the user is told when either cannot be done, and the list and
// Sequence.dat afterwards.
#include "editors/sequence_editor.h"
#include "sequence_editor_support.h"
#include "storage/code_page.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakeDialog;

constexpr const char* kTextPath = "C:\\Work\\sequences.toml";
constexpr const char* kTextSavePath = "C:\\Work\\sequences.toml.1.tmp";
constexpr const char* kStrangerPath = "C:\\Work\\sequences.new";  // not Pavix's
constexpr std::uint32_t kExportFlags = 0x0088080E;  // OVERWRITEPROMPT, PATHMUSTEXIST, +kCommon
constexpr std::uint32_t kImportFlags = 0x0088100C;  // FILEMUSTEXIST, +kCommon
// kCommon: HIDEREADONLY, NOCHANGEDIR, EXPLORER, ENABLESIZING.

// Two sequences: "Notes" runs an external command after two chords, "Lock" a built-in.
constexpr char kTwoSequences[] =
    "[[sequence]]\nname = \"Notes\"\nkeys = [\"Ctrl+Alt+A\", \"Shift+F1\"]\n"
    "commands = [{ run = 'C:\\n.exe', args = \"-x\" }]\n"
    "[[sequence]]\nname = \"Lock\"\nkeys = [\"Space\"]\ncommands = [{ builtin = \"Lock System\" "
    "}]\n";

std::string TwoSequencesBytes(const std::string& firstName) {
    return SequenceHeader() +
           SequenceBytes(firstName, {kChordCtrlAltA, kChordShiftF1},
                         {External("C:\\n.exe", "-x", "")}) +
           SequenceBytes("Lock", {kChordSpace}, {Builtin(kLockSystem)});
}

class SequenceEditorTextTest : public SequenceEditorTest {
  protected:
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const fake::MessageBox& box : platform.messageBoxes) {
            texts.push_back(box.text);
        }
        return texts;
    }
};

TEST_F(SequenceEditorTextTest, ExportWritesTheListAsShownWithTheNameTypedSoFar) {
    WriteSample();
    EditAndSave([&](FakeDialog& dialog) {
        dialog.Type(Editor::kNameEdit, "A typed");
        platform.dialogs.fileChoice = kTextPath;
        dialog.Click(Editor::kExportButton);
        dialog.Click(Editor::kExportButton);  // Cancel in the file dialog
    });
    EXPECT_TRUE(platform.messageBoxes.empty());
    const fake::Calls dialogs = platform.CallsNamed("GetSaveFileNameA");
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0], Call("GetSaveFileNameA", Last(Editor::kTemplateId).Handle(),
                               "Sequences as text (*.toml)|*.toml|All Files (*.*)|*.*",
                               "Sequences.toml", 260, kExportFlags, "Export Sequences", "toml"));
    EXPECT_EQ(dialogs[1].args[2], fake::FormatArg(kTextPath));  // the last file is offered again
    EXPECT_EQ(CountOf(Call("CreateFileA", kTextSavePath, kGenericWrite, 0, kCreateNew,
                           kFileAttributeNormal)),
              1u);
    EXPECT_NE(platform.files[kTextPath].find("name = \"A typed\""), std::string::npos);

    // The editor opened on what OK saved exports the very same text.
    platform.dialogs.fileChoice = "C:\\Work\\again.toml";
    Open([](FakeDialog& dialog) { dialog.Click(Editor::kExportButton); });
    EXPECT_EQ(platform.files["C:\\Work\\again.toml"], platform.files[kTextPath]);
}

TEST_F(SequenceEditorTextTest, ExportThatCannotBeDoneSaysWhyAndWritesNothing) {
    struct Case {
        std::string sequenceFile;
        std::function<void()> fault;
        std::string message;
    };
    const Case cases[] = {
        {SequenceHeader() + SampleRecordA(),
         [&] { platform.Script("MultiByteToWideChar", 0, kErrorNoUnicodeTranslation, {}, 1); },
         "Sequence 1 holds a text that is not valid in the system's code page."},
        {SequenceHeader() + SampleRecordB() + SequenceBytes("odd", {0x00414000}, {}), [] {},
         "Sequence 2 has a key with a modifier that has no name."},
        {SequenceHeader() + SampleRecordA(), [&] { platform.LimitWrites(kTextSavePath, 10); },
         "Failed to write file"},
    };
    for (const Case& c : cases) {
        platform.files = {
            {kSequencePath, c.sequenceFile}, {kTextPath, "old"}, {kStrangerPath, "stranger"}};
        platform.messageBoxes.clear();
        c.fault();
        platform.dialogs.fileChoice = kTextPath;
        Open([](FakeDialog& dialog) { dialog.Click(Editor::kExportButton); });
        EXPECT_EQ(MessageTexts(),
                  (std::vector<std::string>{"Cannot export the sequences:\n" + c.message}));
        EXPECT_EQ(platform.files[kTextPath], "old");
        EXPECT_EQ(platform.files[kStrangerPath], "stranger");
        EXPECT_EQ(platform.files.count(kTextSavePath), 0u);
    }
}

TEST_F(SequenceEditorTextTest, ImportReplacesTheListWhichOkSavesAndCancelDrops) {
    WriteSample();
    const std::string original = platform.files[kSequencePath];
    platform.files[kTextPath] = kTwoSequences;
    for (const std::int32_t close : {kIdCancel, kIdOk}) {
        platform.dialogs.fileChoice = kTextPath;
        Open([&](FakeDialog& dialog) {
            dialog.SelectRow(Editor::kSequenceList, 2);
            dialog.Click(Editor::kImportButton);
            EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"Notes", "Lock"}));
            EXPECT_EQ(dialog.SelectedRow(Editor::kSequenceList), -1);
            EXPECT_EQ(dialog.Text(Editor::kNameEdit), "Notes");
            EXPECT_EQ(Rows(dialog, Editor::kCommandList),
                      (Names{"[Cmd=\"C:\\n.exe\"] [Param=\"-x\"] [Dir=\"\"]"}));
            // The new list is the one being edited: a name typed now goes into its first row.
            dialog.Type(Editor::kNameEdit, "Notes!");
            dialog.Click(close);
        });
        EXPECT_EQ(platform.files[kSequencePath],
                  close == kIdOk ? TwoSequencesBytes("Notes!") : original);
    }
    EXPECT_TRUE(platform.messageBoxes.empty());
    const fake::Calls dialogs = platform.CallsNamed("GetOpenFileNameA");
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs[0].args[4], std::to_string(kImportFlags));
    EXPECT_EQ(dialogs[0].args[5], fake::FormatArg("Import Sequences"));
}

TEST_F(SequenceEditorTextTest, ImportOfAFileThatIsNotGoodChangesNothingAndSaysWhereAndWhy) {
    std::string manyErrors;
    std::string manyLines;
    for (int i = 0; i < 12; ++i) {
        manyErrors += "[[sequence]]\nname = \"n\"\nkeys = [\"Ctrl+Nope\"]\ncommands = []\n";
        if (i < 10) {
            manyLines += "\nLine " + std::to_string(3 + 4 * i) + ": unknown key name \"Nope\"";
        }
    }
    struct Case {
        std::string text;  // empty: no file at all
        std::string why;
    };
    const Case cases[] = {
        {"[[sequence]]\nname = \"x\"\nkeys = [\"Ctrl+Foo\"]\n"
         "commands = [{ builtin = \"Lock\" }]\n",
         "\nLine 3: unknown key name \"Foo\"\nLine 4: unknown built-in command \"Lock\""},
        {"[[sequence]]\nname = \"caf\xC3\xA9 \xE3\x81\x82\"\nkeys = []\ncommands = []\n",
         "\nLine 2: the code page cannot hold \"caf\xE9 ?\""},
        {manyErrors, manyLines + "\n\x85 and 2 more"},  // an ellipsis in code page 1252
        {"", "\nFailed to read file"},
        {std::string(4 * 1024 * 1024 + 1, '#'), "\nThe file is larger than 4194304 bytes."},
    };
    for (const Case& c : cases) {
        WriteSample();
        platform.files.erase(kTextPath);
        if (!c.text.empty()) {
            platform.files[kTextPath] = c.text;
        }
        platform.messageBoxes.clear();
        platform.dialogs.fileChoice = kTextPath;
        Open([](FakeDialog& dialog) {
            dialog.Type(Editor::kNameEdit, "kept");
            dialog.Click(Editor::kImportButton);
            EXPECT_EQ(Rows(dialog, Editor::kSequenceList), (Names{"kept", "! B", "! C"}));
            dialog.Click(kIdOk);
        });
        EXPECT_EQ(MessageTexts(),
                  (std::vector<std::string>{"Cannot import C:\\Work\\sequences.toml:" + c.why}));
    }
}

}  // namespace
}  // namespace pavix
