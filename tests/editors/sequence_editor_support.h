// The sequence editor's tests share one file of three sequences and a look at its buttons.
#pragma once

#include <set>

#include "editor_test_support.h"
#include "editors/sequence_editor.h"

namespace pavix {

using Editor = SequenceEditor;

constexpr std::uint32_t kChordCtrlAltA = 0x00410003;
constexpr std::uint32_t kChordShiftF1 = 0x00700004;
constexpr std::uint32_t kChordSpace = 0x00200000;

// "A": two keys, a built-in and an external command; "B": no keys, one command; "C": one key,
// no commands.
inline std::string SampleRecordA() {
    return SequenceBytes("A", {kChordCtrlAltA, kChordShiftF1},
                         {Builtin(kLockSystem), External("p", "a", "d")});
}
inline std::string SampleRecordB() {
    return SequenceBytes("B", {}, {Builtin(kDoNothing)});
}
inline std::string SampleRecordC() {
    return SequenceBytes("C", {kChordSpace}, {});
}

class SequenceEditorTest : public EditorTest {
  protected:
    void WriteSample() {
        platform.files[kSequencePath] =
            SequenceHeader() + SampleRecordA() + SampleRecordB() + SampleRecordC();
    }
    std::intptr_t Open(const std::function<void(fake::FakeDialog&)>& user) {
        Editor editor(platform, dialogs);
        return Run(editor, Editor::kTemplateId, user);
    }
    // Opens the editor, lets `user` act and confirms with OK; returns the file's bytes after it.
    std::string EditAndSave(const std::function<void(fake::FakeDialog&)>& user) {
        Open([&](fake::FakeDialog& dialog) {
            user(dialog);
            dialog.Click(kIdOk);
        });
        return platform.files[kSequencePath];
    }
    static std::set<std::int32_t> EnabledButtons(fake::FakeDialog& dialog) {
        std::set<std::int32_t> enabled;
        for (std::int32_t id :
             {Editor::kSequenceAdd, Editor::kSequenceDelete, Editor::kSequenceCopy,
              Editor::kSequenceUp, Editor::kSequenceDown, Editor::kKeyUp, Editor::kKeyDown,
              Editor::kKeyAdd, Editor::kKeyEdit, Editor::kKeyDelete, Editor::kCommandUp,
              Editor::kCommandDown, Editor::kCommandAdd, Editor::kCommandEdit,
              Editor::kCommandDelete}) {
            if (dialog.Enabled(id)) {
                enabled.insert(id);
            }
        }
        return enabled;
    }
    // The rows of a list as it shows them (column 0).
    static std::vector<std::string> Rows(fake::FakeDialog& dialog, std::int32_t list,
                                         std::int32_t column = 0) {
        std::vector<std::string> rows;
        for (std::int32_t row = 0; row < dialog.ItemCount(list); ++row) {
            rows.push_back(dialog.RowText(list, row, column));
        }
        return rows;
    }
    using Names = std::vector<std::string>;
};

}  // namespace pavix
