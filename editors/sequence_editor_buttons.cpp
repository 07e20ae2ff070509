// The buttons of the sequence editor's three groups. Selecting a row makes the list report an
// item change, which refreshes the right-hand side and every button state; the moves rely on it.
#include "editors/command_editor.h"
#include "editors/hotkey_editor.h"
#include "editors/sequence_editor.h"
#include "platform/constants.h"

namespace pavix {

// The name typed so far belongs to the sequence shown before any sequence button acts, so that,
// for one, a copy is named after it.
bool SequenceEditor::OnSequenceButton(std::int32_t id) {
    switch (id) {
        case kSequenceAdd:
            StoreName();
            AddSequence();
            return true;
        case kSequenceCopy:
            StoreName();
            CopySequence();
            return true;
        case kSequenceDelete:
            StoreName();
            DeleteSequence();
            return true;
        case kSequenceUp:
        case kSequenceDown:
            StoreName();
            MoveRow(kSequenceList, sequences_.Size(), id == kSequenceUp, [&](std::size_t at) {
                return id == kSequenceUp ? sequences_.MoveSequenceUp(at)
                                         : sequences_.MoveSequenceDown(at);
            });
            return true;
        default:
            return false;
    }
}

void SequenceEditor::AddSequence() {
    const std::size_t added = sequences_.AddSequence();
    SetRowCount(kSequenceList, sequences_.Size());
    Show(&sequences_.At(added));
    ShowAndSelect(kSequenceList, added);
}

void SequenceEditor::CopySequence() {
    const std::int32_t row = SelectedRow(kSequenceList);
    if (row < 0 || static_cast<std::size_t>(row) >= sequences_.Size()) {
        return;
    }
    const std::size_t copy = sequences_.DuplicateSequence(static_cast<std::size_t>(row));
    SetRowCount(kSequenceList, sequences_.Size());
    Show(&sequences_.At(copy));
    ShowAndSelect(kSequenceList, copy);
}

// The row leaves the list view first (its selection goes with it), then the sequence. The one
// that followed it is shown without being selected.
void SequenceEditor::DeleteSequence() {
    const std::int32_t row = SelectedRow(kSequenceList);
    if (row < 0 || static_cast<std::size_t>(row) >= sequences_.Size()) {
        return;
    }
    const auto index = static_cast<std::size_t>(row);
    SendItem(kSequenceList, kLvmDeleteItem, index);
    current_ = nullptr;
    sequences_.RemoveSequence(index);
    Show(index < sequences_.Size() ? &sequences_.At(index) : nullptr);
    SetRowCount(kSequenceList, sequences_.Size());
}

bool SequenceEditor::OnKeyButton(std::int32_t id) {
    if (id != kKeyAdd && id != kKeyEdit && id != kKeyDelete && id != kKeyUp && id != kKeyDown) {
        return false;
    }
    if (current_ == nullptr) {
        return true;
    }
    const std::int32_t row = SelectedRow(kKeyList);
    const std::size_t count = current_->Keys().size();
    const bool selected = row >= 0 && static_cast<std::size_t>(row) < count;
    if (id == kKeyAdd) {
        AddKey();
    } else if (id == kKeyEdit && selected) {
        EditKey();
    } else if (id == kKeyDelete && selected) {
        current_->RemoveKey(static_cast<std::size_t>(row));
        SetRowCount(kKeyList, current_->Keys().size());
        UpdateKeyButtons();
    } else if (id == kKeyUp || id == kKeyDown) {
        Sequence& sequence = *current_;
        MoveRow(kKeyList, count, id == kKeyUp, [&](std::size_t at) {
            return id == kKeyUp ? sequence.MoveKeyUp(at) : sequence.MoveKeyDown(at);
        });
    }
    return true;
}

void SequenceEditor::AddKey() {
    HotkeyEditor editor(platform_);
    if (editor.Run() != kIdOk) {
        return;
    }
    KeyChord chord;
    editor.Store(chord);
    current_->AppendKey(chord);
    const std::size_t count = current_->Keys().size();
    SetRowCount(kKeyList, count);
    ShowAndSelect(kKeyList, count - 1);
    UpdateKeyButtons();
}

void SequenceEditor::EditKey() {
    const auto row = static_cast<std::size_t>(SelectedRow(kKeyList));
    HotkeyEditor editor(platform_);
    editor.Load(current_->Keys()[row]);
    if (editor.Run() == kIdOk) {
        KeyChord chord = current_->Keys()[row];
        editor.Store(chord);
        current_->ReplaceKey(row, chord);
    }
    Redraw(kKeyList);
}

bool SequenceEditor::OnCommandButton(std::int32_t id) {
    if (id != kCommandAdd && id != kCommandEdit && id != kCommandDelete && id != kCommandUp &&
        id != kCommandDown) {
        return false;
    }
    if (current_ == nullptr) {
        return true;
    }
    const std::int32_t row = SelectedRow(kCommandList);
    const std::size_t count = current_->Commands().size();
    const bool selected = row >= 0 && static_cast<std::size_t>(row) < count;
    if (id == kCommandAdd) {
        AddCommand();
    } else if (id == kCommandEdit && selected) {
        EditCommand();
    } else if (id == kCommandDelete && selected) {
        current_->RemoveCommand(static_cast<std::size_t>(row));
        SetRowCount(kCommandList, current_->Commands().size());
        UpdateCommandButtons();
    } else if (id == kCommandUp || id == kCommandDown) {
        Sequence& sequence = *current_;
        MoveRow(kCommandList, count, id == kCommandUp, [&](std::size_t at) {
            return id == kCommandUp ? sequence.MoveCommandUp(at) : sequence.MoveCommandDown(at);
        });
    }
    return true;
}

// After Cancel as after OK the last row is selected, if there is one.
void SequenceEditor::AddCommand() {
    CommandEditor editor(platform_, nullptr);
    if (editor.Run() == kIdOk) {
        current_->AppendCommand(editor.Build());
    }
    const std::size_t count = current_->Commands().size();
    SetRowCount(kCommandList, count);
    if (count > 0) {
        ShowAndSelect(kCommandList, count - 1);
    }
    UpdateCommandButtons();
}

// The old command is destroyed only when the new one takes its place.
void SequenceEditor::EditCommand() {
    const auto row = static_cast<std::size_t>(SelectedRow(kCommandList));
    CommandEditor editor(platform_, current_->Commands()[row].get());
    if (editor.Run() == kIdOk) {
        current_->ReplaceCommand(row, editor.Build());
    }
    Redraw(kCommandList);
}

template <typename Move>
void SequenceEditor::MoveRow(std::int32_t list, std::size_t count, bool up, Move move) {
    const std::int32_t row = SelectedRow(list);
    if (row < 0 || static_cast<std::size_t>(row) >= count) {
        return;
    }
    const auto index = static_cast<std::size_t>(row);
    if (up ? index == 0 : index + 1 == count) {
        platform_.MessageBeep(kMbIconAsterisk);
        return;
    }
    move(index);
    ShowAndSelect(list, up ? index - 1 : index + 1);
}

}  // namespace pavix
