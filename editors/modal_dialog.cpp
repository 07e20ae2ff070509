#include "editors/modal_dialog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/constants.h"

namespace pavix {

std::intptr_t ModalDialog::DialogProc(WindowHandle dialog, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case kWmInitDialog:
            window_ = dialog;
            return OnInitDialog() ? 1 : 0;
        case kWmCommand:
            return OnCommand(CommandId(wParam), CommandCode(wParam)) ? 1 : 0;
        case kWmNotify:
            return lParam != 0 && OnNotify(*reinterpret_cast<const NotifyHeader*>(lParam)) ? 1 : 0;
        case kWmDestroy:
            OnDestroy();
            return 0;
        default:
            return 0;
    }
}

std::intptr_t ModalDialog::RunModal(std::uint32_t templateId) {
    return dialogs_ != nullptr ? dialogs_->Run(templateId, *this) : -1;
}

bool ModalDialog::ReadText(std::int32_t id, std::string* text) {
    const WindowHandle control = Item(id);
    const std::int32_t length = platform_.GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const std::int32_t read =
        platform_.GetWindowTextA(control, buffer.data(), static_cast<std::int32_t>(buffer.size()));
    // The length may be overstated for multi-byte text, so only a read that hands over nothing
    // of a non-empty text, or more than fits, is a failed transfer.
    if ((length > 0 && read <= 0) || read < 0 || read > length) {
        Complain(id);
        return false;
    }
    text->assign(buffer.data(), static_cast<std::size_t>(read));
    return true;
}

void ModalDialog::AddColumn(std::int32_t list, std::int32_t index, const std::string& title,
                            std::int32_t width) {
    ListViewColumn column;
    column.mask = kLvcfWidth | kLvcfText;
    column.cx = width;
    column.pszText = title.c_str();
    SendItem(list, kLvmInsertColumnA, static_cast<std::uintptr_t>(index),
             reinterpret_cast<std::intptr_t>(&column));
}

std::int32_t ModalDialog::SelectedRow(std::int32_t list) {
    constexpr auto kFromTheStart = static_cast<std::uintptr_t>(-1);
    return static_cast<std::int32_t>(SendItem(list, kLvmGetNextItem, kFromTheStart, kLvniSelected));
}

void ModalDialog::ShowAndSelect(std::int32_t list, std::size_t row) {
    SendItem(list, kLvmEnsureVisible, row, 0);
    ListViewItem item;
    item.state = kLvisSelected;
    item.stateMask = kLvisSelected;
    SendItem(list, kLvmSetItemState, row, reinterpret_cast<std::intptr_t>(&item));
}

void ModalDialog::CopyCellText(const ListViewItem& item, const std::string& text) {
    if (item.pszText == nullptr || item.cchTextMax <= 0) {
        return;
    }
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
    std::memcpy(item.pszText, text.data(), length);
    item.pszText[length] = '\0';
}

void ModalDialog::Complain(std::int32_t id) {
    platform_.MessageBeep(kSimpleBeep);
    platform_.SetFocus(Item(id));
}

}  // namespace pavix
