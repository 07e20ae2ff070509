#include "platform/win32/dialog_notify.h"

namespace pavix::win32 {
namespace {

NotifyHeader Header(const NMHDR& native) {
    NotifyHeader header;
    header.hwndFrom = FromNative<WindowHandle>(native.hwndFrom);
    header.idFrom = native.idFrom;
    header.code = native.code;
    return header;
}

ListViewItem Item(const LVITEMA& native) {
    ListViewItem item;
    item.mask = native.mask;
    item.iItem = native.iItem;
    item.iSubItem = native.iSubItem;
    item.state = native.state;
    item.stateMask = native.stateMask;
    item.pszText = native.pszText;
    item.cchTextMax = native.cchTextMax;
    return item;
}

template <typename Record>
INT_PTR Forward(DialogHandler& handler, HWND dialog, WPARAM wParam, const Record& record) {
    return handler.DialogProc(FromNative<WindowHandle>(dialog), WM_NOTIFY, wParam,
                              reinterpret_cast<std::intptr_t>(&record));
}

}  // namespace

INT_PTR ForwardNotify(DialogHandler& handler, HWND dialog, WPARAM wParam, LPARAM lParam) {
    const auto& native = *reinterpret_cast<const NMHDR*>(lParam);
    if (native.code == LVN_ITEMCHANGED) {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        ListViewNotify notify;
        notify.hdr = Header(native);
        notify.iItem = change.iItem;
        notify.iSubItem = change.iSubItem;
        notify.uNewState = change.uNewState;
        notify.uOldState = change.uOldState;
        notify.uChanged = change.uChanged;
        return Forward(handler, dialog, wParam, notify);
    }
    if (native.code == LVN_GETDISPINFOA) {
        const auto& request = *reinterpret_cast<const NMLVDISPINFOA*>(lParam);
        ListViewDispInfo info;
        info.hdr = Header(native);
        info.item = Item(request.item);
        return Forward(handler, dialog, wParam, info);
    }
    if (native.code == LVN_KEYDOWN) {
        const auto& key = *reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        ListViewKeyDown notify;
        notify.hdr = Header(native);
        notify.wVKey = key.wVKey;
        notify.flags = key.flags;
        return Forward(handler, dialog, wParam, notify);
    }
    return Forward(handler, dialog, wParam, Header(native));
}

}  // namespace pavix::win32
