#include "fake/fake_dialog.h"

#include <algorithm>
#include <cstring>

#include "platform/constants.h"

namespace pavix::fake {
namespace {

std::uintptr_t CommandParameter(std::int32_t id, std::uint16_t code) {
    return static_cast<std::uintptr_t>(code) << 16 | (static_cast<std::uint32_t>(id) & 0xFFFF);
}

template <typename Record>
std::intptr_t Pointer(Record* record) {
    return reinterpret_cast<std::intptr_t>(record);
}

}  // namespace

bool FakeDialog::Click(std::int32_t id) {
    if (ended || !Enabled(id)) {
        return false;
    }
    Command(id, kBnClicked);
    return true;
}

bool FakeDialog::ClickCheckBox(std::int32_t id) {
    if (ended || !Enabled(id)) {
        return false;
    }
    FakeControl& box = Control(id);
    box.check = box.check == 0 ? 1 : 0;
    Command(id, kBnClicked);
    return true;
}

bool FakeDialog::ClickRadio(std::int32_t id, std::initializer_list<std::int32_t> group) {
    if (ended || !Enabled(id)) {
        return false;
    }
    for (std::int32_t member : group) {
        Control(member).check = member == id ? 1 : 0;
    }
    Command(id, kBnClicked);
    return true;
}

bool FakeDialog::Type(std::int32_t id, const std::string& text) {
    if (ended || !Enabled(id)) {
        return false;
    }
    FakeControl& edit = Control(id);
    edit.text = text.substr(0, edit.textLimit);
    return true;
}

bool FakeDialog::ChooseRow(std::int32_t comboId, std::int32_t row) {
    FakeControl& combo = Control(comboId);
    if (ended || !combo.enabled || row < 0 || row >= static_cast<std::int32_t>(combo.rows.size())) {
        return false;
    }
    combo.comboSelection = row;
    Command(comboId, kCbnSelChange);
    return true;
}

bool FakeDialog::SelectRow(std::int32_t listId, std::int32_t row) {
    FakeControl& list = Control(listId);
    if (ended || !list.enabled || row >= list.itemCount) {
        return false;
    }
    MoveSelection(listId, row < 0 ? -1 : row);
    return true;
}

void FakeDialog::Command(std::int32_t id, std::uint16_t code) {
    if (ended) {
        return;
    }
    Deliver(kWmCommand, CommandParameter(id, code), static_cast<std::intptr_t>(ItemHandle(id)));
}

std::string FakeDialog::RowText(std::int32_t listId, std::int32_t row, std::int32_t column,
                                std::int32_t bufferSize) {
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize) + 1, '\0');
    ListViewDispInfo info;
    info.hdr =
        NotifyHeader{ItemHandle(listId), static_cast<std::uintptr_t>(listId), kLvnGetDispInfoA};
    info.item.mask = kLvifText;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.pszText = buffer.data();
    info.item.cchTextMax = bufferSize;
    Deliver(kWmNotify, static_cast<std::uintptr_t>(listId), Pointer(&info));
    // A handler that writes past cchTextMax would leave more than bufferSize - 1 bytes here.
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

void FakeDialog::PressKeyInList(std::int32_t listId, std::uint16_t virtualKey) {
    ListViewKeyDown key;
    key.hdr = NotifyHeader{ItemHandle(listId), static_cast<std::uintptr_t>(listId), kLvnKeyDown};
    key.wVKey = virtualKey;
    Deliver(kWmNotify, static_cast<std::uintptr_t>(listId), Pointer(&key));
}

bool FakeDialog::TypeAndReport(std::int32_t id, const std::string& text) {
    if (!Type(id, text)) {
        return false;
    }
    Command(id, kEnChange);
    return true;
}

std::intptr_t FakeDialog::SendToDialog(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    // WM_NEXTDLGCTL with a window: the focus goes to that control.
    if (message == kWmNextDlgCtl && lParam != 0) {
        focus = static_cast<std::int32_t>(wParam - handle_);
        return 0;
    }
    if (message == kWmSetIcon) {
        const IconHandle previous = icons[wParam];
        icons[wParam] = static_cast<IconHandle>(lParam);
        return static_cast<std::intptr_t>(previous);
    }
    return 0;
}

std::intptr_t FakeDialog::Send(std::int32_t id, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    FakeControl& control = Control(id);
    if (message >= kLvmGetItemCount && message <= kLvmGetExtendedListViewStyle) {
        return SendToList(control, id, message, wParam, lParam);
    }
    return SendToOther(control, message, wParam, lParam);
}

std::intptr_t FakeDialog::SendToOther(FakeControl& control, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    const auto rowCount = static_cast<std::intptr_t>(control.rows.size());
    switch (message) {
        case kBmGetCheck:
            return control.check;
        case kBmSetCheck:
            // Two-state buttons show any other state as checked.
            control.check = wParam == kBstUnchecked ? 0 : 1;
            return 0;
        case kCbAddString:
            control.rows.emplace_back(reinterpret_cast<const char*>(lParam));
            return rowCount;
        case kCbGetCurSel:
            return control.comboSelection;
        case kCbSetCurSel: {
            const auto row = static_cast<std::intptr_t>(wParam);
            control.comboSelection =
                row >= 0 && row < rowCount ? static_cast<std::int32_t>(row) : -1;
            return control.comboSelection < 0 ? kCbErr : row;
        }
        case kEmLimitText:
            control.textLimit = wParam == 0 ? 0x7FFFFFFE : wParam;
            return 0;
        case kHkmSetHotkey:
            control.hotkey = static_cast<std::uint16_t>(wParam);
            return 0;
        case kHkmGetHotkey:
            return control.hotkey;
        default:
            return 0;
    }
}

std::intptr_t FakeDialog::SendToList(FakeControl& list, std::int32_t id, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    const auto row = static_cast<std::int32_t>(wParam);
    switch (message) {
        case kLvmGetItemCount:
            return list.itemCount;
        case kLvmSetItemCount:
            // An owner-data list keeps the selection of rows that remain and says nothing.
            list.itemCount = row;
            if (list.selectedRow >= row) {
                list.selectedRow = -1;
            }
            ++list.redraws;
            return 1;
        case kLvmGetNextItem:
            if ((lParam & kLvniSelected) != 0) {
                return list.selectedRow > row ? list.selectedRow : -1;
            }
            return row + 1 < list.itemCount ? row + 1 : -1;
        case kLvmEnsureVisible:
            list.visibleRow = row;
            return row >= 0 && row < list.itemCount ? 1 : 0;
        case kLvmInsertColumnA: {
            const auto* column = reinterpret_cast<const ListViewColumn*>(lParam);
            const auto at = std::min<std::size_t>(wParam, list.columns.size());
            list.columns.insert(list.columns.begin() + static_cast<std::ptrdiff_t>(at),
                                FakeColumn{column->pszText ? column->pszText : "", column->cx});
            return static_cast<std::intptr_t>(at);
        }
        case kLvmSetItemState: {
            const auto* item = reinterpret_cast<const ListViewItem*>(lParam);
            if ((item->stateMask & kLvisSelected) != 0 && row >= 0 && row < list.itemCount) {
                const bool select = (item->state & kLvisSelected) != 0;
                MoveSelection(id, select ? row : (list.selectedRow == row ? -1 : list.selectedRow));
            }
            return 1;
        }
        case kLvmDeleteItem:
            if (row < 0 || row >= list.itemCount) {
                return 0;
            }
            DeleteRow(id, row);
            return 1;
        case kLvmGetExtendedListViewStyle:
            return list.extendedStyle;
        case kLvmSetExtendedListViewStyle: {
            const std::uint32_t previous = list.extendedStyle;
            const auto mask = wParam == 0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(wParam);
            list.extendedStyle = (previous & ~mask) | (static_cast<std::uint32_t>(lParam) & mask);
            return previous;
        }
        default:
            return 0;
    }
}

void FakeDialog::MoveSelection(std::int32_t id, std::int32_t row) {
    const std::int32_t old = Control(id).selectedRow;
    if (old == row) {
        return;
    }
    if (old >= 0) {
        Control(id).selectedRow = -1;
        NotifyStateChange(id, old, kLvisSelected, 0);
    }
    if (row >= 0) {
        Control(id).selectedRow = row;
        NotifyStateChange(id, row, 0, kLvisSelected);
    }
}

void FakeDialog::NotifyStateChange(std::int32_t id, std::int32_t row, std::uint32_t oldState,
                                   std::uint32_t newState) {
    ListViewNotify notify;
    notify.hdr = NotifyHeader{ItemHandle(id), static_cast<std::uintptr_t>(id), kLvnItemChanged};
    notify.iItem = row;
    notify.uOldState = oldState;
    notify.uNewState = newState;
    notify.uChanged = kLvifState;
    Deliver(kWmNotify, static_cast<std::uintptr_t>(id), Pointer(&notify));
}

void FakeDialog::DeleteRow(std::int32_t id, std::int32_t row) {
    // The row gives up its selection (reported) before it goes; the rows after it move up.
    if (Control(id).selectedRow == row) {
        MoveSelection(id, -1);
    }
    FakeControl& list = Control(id);
    --list.itemCount;
    if (list.selectedRow > row) {
        --list.selectedRow;
    }
    ++list.redraws;
}

std::intptr_t FakeDialogs::Run(std::uint32_t templateId, DialogHandler* handler,
                               WindowHandle& activeWindow) {
    const WindowHandle handle = kFirstDialog * (history_.size() + 1);
    history_.push_back(std::make_unique<FakeDialog>(handle, templateId, handler));
    FakeDialog& dialog = *history_.back();
    open_.push_back(&dialog);
    const WindowHandle owner = activeWindow;
    activeWindow = handle;

    dialog.initialFocusByPlatform = dialog.Deliver(kWmInitDialog, 0, 0) != 0;
    auto& queue = scripts_[templateId];
    if (!dialog.ended && !queue.empty()) {
        Script script = std::move(queue.front());
        queue.pop_front();
        script(dialog);
    }
    if (!dialog.ended) {
        dialog.Close();
    }
    dialog.Deliver(kWmDestroy, 0, 0);
    if (destroyChildren) {
        destroyChildren(handle);
    }

    open_.pop_back();
    activeWindow = owner;
    return dialog.ended ? dialog.result : -1;
}

WindowHandle FakeDialogs::Create(std::uint32_t templateId, DialogHandler* handler,
                                 WindowHandle& activeWindow) {
    const WindowHandle handle = kFirstDialog * (history_.size() + 1);
    history_.push_back(std::make_unique<FakeDialog>(handle, templateId, handler));
    FakeDialog& dialog = *history_.back();
    open_.push_back(&dialog);
    activeWindow = handle;
    dialog.initialFocusByPlatform = dialog.Deliver(kWmInitDialog, 0, 0) != 0;
    auto& queue = scripts_[templateId];
    if (!queue.empty()) {
        Script script = std::move(queue.front());
        queue.pop_front();
        script(dialog);
    }
    return handle;
}

bool FakeDialogs::Destroy(WindowHandle window, WindowHandle& activeWindow) {
    auto found = std::find_if(open_.begin(), open_.end(),
                              [&](FakeDialog* open) { return open->Handle() == window; });
    if (found == open_.end()) {
        return false;
    }
    FakeDialog& dialog = **found;
    open_.erase(found);
    dialog.ended = true;
    dialog.Deliver(kWmDestroy, 0, 0);
    if (activeWindow == window) {
        activeWindow = 0;
    }
    return true;
}

FakeDialog* FakeDialogs::Find(WindowHandle window) {
    const WindowHandle dialog = window & ~kControlMask;
    for (FakeDialog* open : open_) {
        if (open->Handle() == dialog) {
            return open;
        }
    }
    return nullptr;
}

FakeDialog* FakeDialogs::Last(std::uint32_t templateId) {
    for (auto found = history_.rbegin(); found != history_.rend(); ++found) {
        if ((*found)->TemplateId() == templateId) {
            return found->get();
        }
    }
    return nullptr;
}

int FakeDialogs::RunCount(std::uint32_t templateId) const {
    return static_cast<int>(
        std::count_if(history_.begin(), history_.end(),
                      [&](const auto& dialog) { return dialog->TemplateId() == templateId; }));
}

int FakeDialogs::PendingScripts() const {
    int pending = 0;
    for (const auto& entry : scripts_) {
        pending += static_cast<int>(entry.second.size());
    }
    return pending;
}

}  // namespace pavix::fake
