#include "editors/sequence_editor.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "editors/command_editor.h"
#include "editors/command_names.h"
#include "editors/error_boxes.h"
#include "editors/hotkey_editor.h"
#include "editors/record_dialog.h"
#include "editors/sequence_text_transfer.h"
#include "platform/constants.h"
#include "resources/display_scale.h"
#include "resources/ids.h"
#include "resources/texts.h"
#include "storage/backup.h"
#include "storage/sequence_file.h"

namespace pavix {
namespace {

constexpr std::int32_t kModifierColumnWidth = 80;  // at 96 DPI

}  // namespace

bool SequenceEditor::OnInitDialog() {
    SetIcons();
    SetUpColumns();
    LoadSequences();
    SetRowCount(kSequenceList, sequences_.Size());
    Show(sequences_.Empty() ? nullptr : &sequences_.At(0));
    ShowWarnings();
    return true;
}

void SequenceEditor::OnDestroy() {
    for (IconHandle icon : {bigIcon_, smallIcon_}) {
        if (icon != 0) {
            platform_.DestroyIcon(icon);
        }
    }
    bigIcon_ = smallIcon_ = 0;
}

void SequenceEditor::SetIcons() {
    const ModuleHandle instance = platform_.GetModuleHandleA(nullptr);
    const std::uint32_t dpi = WindowDpi(platform_, Window());
    const auto metric = [&](std::int32_t index) {
        return SystemMetricForDpi(platform_, index, dpi);
    };
    bigIcon_ = platform_.LoadImageA(instance, ids::kIconProgram, kImageIcon, metric(kSmCxIcon),
                                    metric(kSmCyIcon), kLrDefaultColor);
    smallIcon_ = platform_.LoadImageA(instance, ids::kIconProgram, kImageIcon, metric(kSmCxSmIcon),
                                      metric(kSmCySmIcon), kLrDefaultColor);
    platform_.SendMessageA(Window(), kWmSetIcon, kIconBig, static_cast<std::intptr_t>(bigIcon_));
    platform_.SendMessageA(Window(), kWmSetIcon, kIconSmall,
                           static_cast<std::intptr_t>(smallIcon_));
}

// The lists come sized for the dialog's display scale; the fixed column and the room kept for
// the scroll bar follow it too.
void SequenceEditor::SetUpColumns() {
    const std::uint32_t dpi = WindowDpi(platform_, Window());
    const std::int32_t modifierWidth = ScaleToDpi(kModifierColumnWidth, dpi);
    for (std::int32_t list : {kSequenceList, kKeyList, kCommandList}) {
        Rect client;
        platform_.GetClientRect(Item(list), &client);
        const std::int32_t width = client.right - client.left;
        if (list == kKeyList) {
            AddColumn(list, 0, LoadText(platform_, ids::kTextModifierColumn), modifierWidth);
            AddColumn(list, 1, LoadText(platform_, ids::kTextKeyColumn),
                      width - modifierWidth - SystemMetricForDpi(platform_, kSmCxVScroll, dpi));
        } else {
            AddColumn(list, 0, std::string(), width);
        }
        const std::intptr_t style = SendItem(list, kLvmGetExtendedListViewStyle);
        SendItem(list, kLvmSetExtendedListViewStyle, 0, style | kLvsExFullRowSelect);
    }
}

// Reads records until one cannot be read; a damaged record is reported once, after the file is
// closed, and dropped with the rest of the file, the records before it stay. A file not read
// completely (a damaged record, an unusable header, or a file that is there but cannot be opened)
// is reported with the note that OK keeps a backup of it.
void SequenceEditor::LoadSequences() {
    ErrorBoxes boxes(platform_);
    SequenceFile file(platform_, boxes);
    boxes.SetReadNote(BackupNote(platform_, file.Path()));
    const FileResult opened = file.Open(false);
    bool damaged = false;
    if (opened == FileResult::kOk) {
        for (;;) {
            auto sequence = std::make_unique<Sequence>();
            if (!file.Read(*sequence)) {
                break;
            }
            sequences_.Append(std::move(sequence));
        }
        damaged = file.Damaged();
    }
    file.Close();
    const bool refused = opened == FileResult::kMissing && FileExists(platform_, file.Path());
    readIncompletely_ = opened == FileResult::kUnusable || damaged || refused;
    if (damaged) {
        boxes.ReportFileProblem(FileProblem::kDamagedRecord);
    }
    if (refused) {
        boxes.ReportFileProblem(FileProblem::kReadFailed);
    }
}

void SequenceEditor::Save() {
    ErrorBoxes boxes(platform_);
    SequenceFile file(platform_, boxes);
    if (readIncompletely_ && !KeepBackup(platform_, file.Path())) {
        boxes.ReportBackupFailed(file.Path());
        return;
    }
    if (file.Open(true) != FileResult::kOk) {
        return;
    }
    for (std::size_t index = 0; index < sequences_.Size(); ++index) {
        if (!file.Write(sequences_.At(index))) {
            break;
        }
    }
    file.Close();
}

bool SequenceEditor::OnCommand(std::int32_t id, std::uint16_t) {
    if (id == kIdOk) {
        StoreName();
        Save();
        End(kIdOk);
        return true;
    }
    if (id == kIdCancel) {
        End(kIdCancel);
        return true;
    }
    if (OnSequenceButton(id) || OnKeyButton(id) || OnCommandButton(id) || OnTextButton(id)) {
        ShowWarnings();
        return true;
    }
    return false;
}

bool SequenceEditor::OnNotify(const NotifyHeader& header) {
    if (header.code == kLvnGetDispInfoA) {
        OnGetDispInfo(reinterpret_cast<const ListViewDispInfo&>(header));
        return true;
    }
    if (header.code == kLvnItemChanged) {
        OnItemChanged();
        return true;
    }
    return false;
}

// Any change of any row's state in any of the three lists: the name typed so far goes into the
// current sequence, then the right-hand side shows the selected sequence (or the current one
// again when no row is selected).
void SequenceEditor::OnItemChanged() {
    StoreName();
    const std::int32_t selected = SelectedRow(kSequenceList);
    const bool valid = selected >= 0 && static_cast<std::size_t>(selected) < sequences_.Size();
    Show(valid ? &sequences_.At(static_cast<std::size_t>(selected)) : current_);
    ShowWarnings();
}

void SequenceEditor::ShowWarnings() {
    if (warnings_.Update(sequences_, Window())) {
        Redraw(kSequenceList);
    }
    std::string reason;
    for (std::size_t index = 0; index < sequences_.Size(); ++index) {
        if (&sequences_.At(index) == current_) {
            reason = warnings_.Reason(sequences_, index);
        }
    }
    SetText(kWarningText, reason);
}

void SequenceEditor::StoreName() {
    if (current_ != nullptr && ReadText(kNameEdit, &nameText_)) {
        current_->SetName(nameText_);
    }
}

// With no sequence the name edit keeps whatever it shows.
void SequenceEditor::Show(Sequence* sequence) {
    current_ = sequence;
    if (sequence != nullptr) {
        nameText_ = sequence->Name();
        SetText(kNameEdit, nameText_);
    }
    SetRowCount(kKeyList, sequence ? sequence->Keys().size() : 0);
    SetRowCount(kCommandList, sequence ? sequence->Commands().size() : 0);
    UpdateButtons();
}

void SequenceEditor::UpdateButtons() {
    UpdateKeyButtons();
    UpdateCommandButtons();
    UpdateSequenceButtons();
}

void SequenceEditor::UpdateSequenceButtons() {
    const ListButtons buttons{kSequenceList, kSequenceUp, kSequenceDown, 0, kSequenceDelete};
    UpdateListButtons(buttons, sequences_.Size(), true);
    Enable(kSequenceCopy, !sequences_.Empty() && SelectedRow(kSequenceList) >= 0);
    Enable(kSequenceAdd, true);
}

void SequenceEditor::UpdateKeyButtons() {
    const ListButtons buttons{kKeyList, kKeyUp, kKeyDown, kKeyEdit, kKeyDelete};
    UpdateListButtons(buttons, current_ ? current_->Keys().size() : 0, current_ != nullptr);
    Enable(kKeyAdd, current_ != nullptr);
    Enable(kKeyRecord, current_ != nullptr);
}

void SequenceEditor::UpdateCommandButtons() {
    const ListButtons buttons{kCommandList, kCommandUp, kCommandDown, kCommandEdit, kCommandDelete};
    UpdateListButtons(buttons, current_ ? current_->Commands().size() : 0, current_ != nullptr);
    Enable(kCommandAdd, current_ != nullptr);
}

void SequenceEditor::UpdateListButtons(const ListButtons& buttons, std::size_t count, bool usable) {
    const std::int32_t row = SelectedRow(buttons.list);
    const bool selected = usable && count >= 1 && row >= 0;
    Enable(buttons.up, selected && row != 0);
    Enable(buttons.down, selected && static_cast<std::size_t>(row) != count - 1);
    if (buttons.edit != 0) {
        Enable(buttons.edit, selected);
    }
    Enable(buttons.remove, selected);
}

bool SequenceEditor::CellText(std::int32_t list, std::int32_t row, std::int32_t column,
                              std::string* text) {
    if (row < 0) {
        return false;
    }
    const auto index = static_cast<std::size_t>(row);
    if (list == kSequenceList) {
        if (column != 0 || index >= sequences_.Size()) {
            return false;
        }
        *text = (warnings_.Marked(index) ? kMark : "") + sequences_.At(index).Name();
        return true;
    }
    if (current_ == nullptr) {
        return false;
    }
    if (list == kKeyList) {
        if ((column != 0 && column != 1) || index >= current_->Keys().size()) {
            return false;
        }
        const ChordText chord = ChordTexts(platform_, current_->Keys()[index]);
        *text = column == 0 ? chord.prefix : chord.keyName;
        return true;
    }
    if (list != kCommandList || column != 0 || index >= current_->Commands().size()) {
        return false;
    }
    *text = DescribeCommand(platform_, *current_->Commands()[index]);
    return true;
}

// Only texts are supplied, cut to the list's buffer.
void SequenceEditor::OnGetDispInfo(const ListViewDispInfo& info) {
    const ListViewItem& item = info.item;
    std::string text;
    if ((item.mask & kLvifText) == 0 || item.pszText == nullptr || item.cchTextMax <= 0 ||
        !CellText(static_cast<std::int32_t>(info.hdr.idFrom), item.iItem, item.iSubItem, &text)) {
        return;
    }
    CopyCellText(item, text);
}

// The buttons of the three groups. Selecting a row makes the list report an item change, which
// refreshes the right-hand side and every button state; the moves rely on it.

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
    if (id != kKeyAdd && id != kKeyRecord && id != kKeyEdit && id != kKeyDelete && id != kKeyUp &&
        id != kKeyDown) {
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
    } else if (id == kKeyRecord) {
        RecordKeys();
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
    HotkeyEditor editor(platform_, Dialogs());
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

// The recorded chords take the place of the keys, or follow them with Append; nothing recorded
// changes nothing.
void SequenceEditor::RecordKeys() {
    RecordDialog dialog(platform_, Dialogs());
    if (dialog.Run() != kIdOk || dialog.Chords().empty()) {
        return;
    }
    if (!dialog.Append()) {
        while (!current_->Keys().empty()) {
            current_->RemoveKey(current_->Keys().size() - 1);
        }
    }
    for (KeyChord chord : dialog.Chords()) {
        current_->AppendKey(chord);
    }
    const std::size_t count = current_->Keys().size();
    SetRowCount(kKeyList, count);
    Redraw(kKeyList);
    ShowAndSelect(kKeyList, count - 1);
    UpdateKeyButtons();
}

void SequenceEditor::EditKey() {
    const auto row = static_cast<std::size_t>(SelectedRow(kKeyList));
    HotkeyEditor editor(platform_, Dialogs());
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

// Both store the name typed so far first, so that the text holds what the editor shows.
bool SequenceEditor::OnTextButton(std::int32_t id) {
    if (id != kExportButton && id != kImportButton) {
        return false;
    }
    StoreName();
    if (id == kExportButton) {
        ExportSequences(platform_, Dialogs(), sequences_, textPath_);
    } else if (std::optional<SequenceList> imported =
                   ImportSequences(platform_, Dialogs(), textPath_)) {
        ReplaceSequences(std::move(*imported));
    }
    return true;
}

// The selection goes first, while the current sequence is still there to take the name that the
// item change stores; then nothing refers to the old list any more.
void SequenceEditor::ReplaceSequences(SequenceList sequences) {
    const std::int32_t row = SelectedRow(kSequenceList);
    if (row >= 0) {
        ListViewItem item;
        item.stateMask = kLvisSelected;
        SendItem(kSequenceList, kLvmSetItemState, static_cast<std::uintptr_t>(row),
                 reinterpret_cast<std::intptr_t>(&item));
    }
    current_ = nullptr;
    sequences_ = std::move(sequences);
    SetRowCount(kSequenceList, sequences_.Size());
    Show(sequences_.Empty() ? nullptr : &sequences_.At(0));
}

// After Cancel as after OK the last row is selected, if there is one.
void SequenceEditor::AddCommand() {
    CommandEditor editor(platform_, Dialogs(), nullptr);
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
    CommandEditor editor(platform_, Dialogs(), current_->Commands()[row].get());
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
