// Both editors replace their whole data file on OK with what they could read. When they could not
// read it completely, they keep the original beside it first and say so when they open it; when
// that copy cannot be made, the file stays as it is. A file read completely, or none at all, is
// replaced without a copy.
#include <functional>
#include <string>
#include <vector>

#include "editor_test_support.h"
#include "editors/config_dialog.h"
#include "editors/sequence_editor.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakeDialog;
using fake::MessageBox;
using testing::BackupFailed;
using testing::WithBackupNote;
using Boxes = std::vector<MessageBox>;

// A file the editor cannot read completely, the error it shows for it (before the note) and what
// OK writes in its place.
struct Unreadable {
    const char* what;
    std::string bytes;
    MessageBox error;
    std::string saved;
};

// One editor with its data file.
struct EditorCase {
    const char* name;
    std::uint32_t templateId;
    const char* path;
    const char* backupPath;
    const char* fileName;
    std::string readable;
    std::vector<Unreadable> unreadable;
};

void PrintTo(const EditorCase& editor, std::ostream* out) {
    *out << editor.name;
}

std::string SequenceMagic() {
    return std::string("\x07\x08PavixSeq", 10);
}

EditorCase SequenceEditorCase() {
    const std::string record =
        SequenceBytes("A", {0x00410003}, {Builtin(kLockSystem), External("p")});
    const std::string damaged = SequenceBytes("bad", {}, {Builtin(16)});
    return {"SequenceEditor",
            SequenceEditor::kTemplateId,
            kSequencePath,
            kSequenceBackupPath,
            "Sequence.dat",
            SequenceHeader() + record,
            {
                {"empty", "", testing::kInvalidFormat, SequenceHeader()},
                {"version 2", SequenceMagic() + testing::Int32(2) + record,
                 testing::kVersionMismatch, SequenceHeader()},
                {"short version", SequenceMagic() + "\x01", testing::kReadFailed, SequenceHeader()},
                {"damaged second record", SequenceHeader() + record + damaged + record,
                 testing::kInvalidFormat, SequenceHeader() + record},
            }};
}

EditorCase ConfigDialogCase() {
    const std::string readable = ConfigBytes(1, 0x00410003, DefaultSounds(), 700);
    // An unusable file leaves the dialog's record as constructed: all zero.
    const std::string zero = ConfigBytes(0, 0, std::vector<std::string>(6), 0);
    std::string version2 = readable;
    version2.replace(11, 4, testing::Int32(2));
    return {"ConfigDialog",
            ConfigDialog::kTemplateId,
            kConfigPath,
            kConfigBackupPath,
            "Config.dat",
            readable,
            {
                {"empty", "", testing::kInvalidFormat, zero},
                {"version 2", version2, testing::kVersionMismatch, zero},
                {"short body", readable.substr(0, 100), testing::kReadFailed, zero},
            }};
}

class EditorBackupTest : public EditorTest, public ::testing::WithParamInterface<EditorCase> {
  protected:
    // Opens the editor on the file as it is and closes it with `button`.
    std::intptr_t OpenAndClose(std::int32_t button) {
        const auto close = [button](FakeDialog& dialog) { dialog.Click(button); };
        if (GetParam().templateId == SequenceEditor::kTemplateId) {
            SequenceEditor editor(platform, dialogs);
            return Run(editor, SequenceEditor::kTemplateId, close);
        }
        ConfigDialog dialog(platform, dialogs);
        return Run(dialog, ConfigDialog::kTemplateId, close);
    }
    void Reset() {
        platform.files.clear();
        platform.messageBoxes.clear();
        platform.calls.clear();
    }
    Calls CopyCalls() { return platform.CallsNamed("CopyFileA"); }
};

TEST_P(EditorBackupTest, UnreadFileIsKeptByteForByteBeforeOkReplacesIt) {
    const EditorCase& editor = GetParam();
    for (const Unreadable& file : editor.unreadable) {
        Reset();
        platform.files[editor.path] = file.bytes;
        platform.files[editor.backupPath] = "an older backup";
        EXPECT_EQ(OpenAndClose(kIdOk), kIdOk) << file.what;
        EXPECT_EQ(platform.messageBoxes, (Boxes{WithBackupNote(file.error, editor.backupPath)}))
            << file.what;
        EXPECT_EQ(platform.files[editor.backupPath], file.bytes) << file.what;
        EXPECT_EQ(platform.files[editor.path], file.saved) << file.what;
        // The copy comes before the new file is even created.
        const Calls calls = platform.CallsNamed({"CopyFileA", "CreateFileA"});
        ASSERT_EQ(calls.size(), 3u) << file.what;
        EXPECT_EQ(calls[1], Call("CopyFileA", editor.path, editor.backupPath, false)) << file.what;
        EXPECT_EQ(platform.OpenFileCount(), 0) << file.what;
    }
}

TEST_P(EditorBackupTest, CancelKeepsNoBackupAndChangesNothing) {
    const EditorCase& editor = GetParam();
    const Unreadable& file = editor.unreadable.back();
    platform.files[editor.path] = file.bytes;
    EXPECT_EQ(OpenAndClose(kIdCancel), kIdCancel);
    EXPECT_EQ(platform.messageBoxes, (Boxes{WithBackupNote(file.error, editor.backupPath)}));
    EXPECT_EQ(platform.files.size(), 1u);
    EXPECT_EQ(platform.files[editor.path], file.bytes);
    EXPECT_TRUE(CopyCalls().empty());
}

TEST_P(EditorBackupTest, FileReadCompletelyOrMissingIsReplacedWithoutABackup) {
    const EditorCase& editor = GetParam();
    platform.files[editor.path] = editor.readable;
    EXPECT_EQ(OpenAndClose(kIdOk), kIdOk);
    EXPECT_EQ(platform.files[editor.path], editor.readable);  // rewritten with the same record
    Reset();
    EXPECT_EQ(OpenAndClose(kIdOk), kIdOk);
    EXPECT_EQ(platform.files.count(editor.path), 1u);
    EXPECT_EQ(platform.files.count(editor.backupPath), 0u);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(CopyCalls().empty());
}

// A file that another program holds without sharing cannot even be opened: the editor opens with
// nothing read, says so, and keeps the file before OK replaces it.
TEST_P(EditorBackupTest, FileHeldByAnotherProgramIsKeptBeforeOkReplacesIt) {
    const EditorCase& editor = GetParam();
    platform.files[editor.path] = editor.readable;
    platform.Script("CreateFileA", kInvalidHandleValue, kErrorSharingViolation, {}, 1);
    EXPECT_EQ(OpenAndClose(kIdOk), kIdOk);
    EXPECT_EQ(platform.messageBoxes,
              (Boxes{WithBackupNote(testing::kReadFailed, editor.backupPath)}));
    EXPECT_EQ(platform.files[editor.backupPath], editor.readable);
    EXPECT_EQ(CopyCalls().size(), 1u);
}

// A backup that cannot be made, whether the copy fails or its longer path does not fit beside a
// file that itself just fits: the file is not replaced, and the user is told where the copy
// failed.
TEST_P(EditorBackupTest, BackupThatCannotBeMadeLeavesTheFileAsItWas) {
    const EditorCase& editor = GetParam();
    const Unreadable& file = editor.unreadable.back();
    const std::string deepFolder =
        "C:\\" + std::string(kMaxPath - 1 - 3 - 1 - std::string(editor.fileName).size(), 'd');
    const std::string deepPath = deepFolder + "\\" + editor.fileName;
    const struct {
        const char* what;
        std::string modulePath;
        std::string path;
        bool copyFails;
    } cases[] = {
        {"failing copy", fake::FakePlatform::kDefaultModulePath, editor.path, true},
        {"backup path too long", deepFolder + "\\Pavix.exe", deepPath, false},
    };
    for (const auto& c : cases) {
        Reset();
        platform.modulePath = c.modulePath;
        platform.files[c.path] = file.bytes;
        if (c.copyFails) {
            platform.Script("CopyFileA", 0, kErrorAccessDenied, {}, 1);
        }
        const std::string backup = c.path + ".bak";
        EXPECT_EQ(OpenAndClose(kIdOk), kIdOk) << c.what;
        EXPECT_EQ(platform.messageBoxes,
                  (Boxes{WithBackupNote(file.error, backup), BackupFailed(backup)}))
            << c.what;
        EXPECT_EQ(platform.files.size(), 1u) << c.what;
        EXPECT_EQ(platform.files[c.path], file.bytes) << c.what;
        EXPECT_EQ(CopyCalls().size(), 1u) << c.what;
        EXPECT_EQ(platform.CallsNamed("CreateFileA").size(), 1u) << c.what;  // the read alone
    }
}

INSTANTIATE_TEST_SUITE_P(BothEditors, EditorBackupTest,
                         ::testing::Values(SequenceEditorCase(), ConfigDialogCase()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pavix
