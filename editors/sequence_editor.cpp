#include "editors/sequence_editor.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/constants.h"
#include "resources/text_ids.h"
#include "resources/texts.h"
#include "storage/sequence_file.h"

namespace pavix {
namespace {

// The key list's column titles exist only in Japanese, in code page 932, in both language
// copies: "modifier keys" and "key".
constexpr char kModifierColumnTitle[] = "\x8F\x43\x8F\xFC\x83\x4C\x81\x5B";
constexpr char kKeyColumnTitle[] = "\x83\x4C\x81\x5B";
constexpr std::int32_t kModifierColumnWidth = 80;

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
    bigIcon_ =
        platform_.LoadImageA(instance, kIconId, kImageIcon, platform_.GetSystemMetrics(kSmCxIcon),
                             platform_.GetSystemMetrics(kSmCyIcon), kLrDefaultColor);
    smallIcon_ =
        platform_.LoadImageA(instance, kIconId, kImageIcon, platform_.GetSystemMetrics(kSmCxSmIcon),
                             platform_.GetSystemMetrics(kSmCySmIcon), kLrDefaultColor);
    platform_.SendMessageA(Window(), kWmSetIcon, kIconBig, static_cast<std::intptr_t>(bigIcon_));
    platform_.SendMessageA(Window(), kWmSetIcon, kIconSmall,
                           static_cast<std::intptr_t>(smallIcon_));
}

void SequenceEditor::SetUpColumns() {
    for (std::int32_t list : {kSequenceList, kKeyList, kCommandList}) {
        Rect client;
        platform_.GetClientRect(Item(list), &client);
        const std::int32_t width = client.right - client.left;
        if (list == kKeyList) {
            AddColumn(list, 0, kModifierColumnTitle, kModifierColumnWidth);
            AddColumn(list, 1, kKeyColumnTitle,
                      width - kModifierColumnWidth - platform_.GetSystemMetrics(kSmCxVScroll));
        } else {
            AddColumn(list, 0, "", width);
        }
        const std::intptr_t style = SendItem(list, kLvmGetExtendedListViewStyle);
        SendItem(list, kLvmSetExtendedListViewStyle, 0, style | kLvsExFullRowSelect);
    }
}

void SequenceEditor::AddColumn(std::int32_t list, std::int32_t index, const char* title,
                               std::int32_t width) {
    ListViewColumn column;
    column.mask = kLvcfWidth | kLvcfText;
    column.cx = width;
    column.pszText = title;
    SendItem(list, kLvmInsertColumnA, static_cast<std::uintptr_t>(index),
             reinterpret_cast<std::intptr_t>(&column));
}

// Reads records until one cannot be read; a damaged record is reported once and dropped with
// the rest of the file, the records before it stay.
void SequenceEditor::LoadSequences() {
    SequenceFile file(platform_);
    bool damaged = false;
    if (file.Open(false) == kFileOk) {
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
    if (damaged) {
        ShowErrorText(platform_, kTextInvalidFormat);
    }
}

void SequenceEditor::Save() {
    SequenceFile file(platform_);
    if (file.Open(true) != kFileOk) {
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
    if (OnSequenceButton(id) || OnKeyButton(id) || OnCommandButton(id)) {
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
    SetText(kWarning, reason);
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
    *text = current_->Commands()[index]->Describe(platform_);
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
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
    std::memcpy(item.pszText, text.data(), length);
    item.pszText[length] = '\0';
}

void SequenceEditor::SetRowCount(std::int32_t list, std::size_t count) {
    SendItem(list, kLvmSetItemCount, count);
}

std::int32_t SequenceEditor::SelectedRow(std::int32_t list) {
    constexpr auto kFromTheStart = static_cast<std::uintptr_t>(-1);
    return static_cast<std::int32_t>(SendItem(list, kLvmGetNextItem, kFromTheStart, kLvniSelected));
}

void SequenceEditor::ShowAndSelect(std::int32_t list, std::size_t row) {
    SendItem(list, kLvmEnsureVisible, row, 0);
    ListViewItem item;
    item.state = kLvisSelected;
    item.stateMask = kLvisSelected;
    SendItem(list, kLvmSetItemState, row, reinterpret_cast<std::intptr_t>(&item));
}

void SequenceEditor::Redraw(std::int32_t list) {
    platform_.InvalidateRect(Item(list), nullptr, true);
}

}  // namespace pavix
