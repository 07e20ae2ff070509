// The dialog group of the backend. Two messages carry portable records that are rebuilt as the
// native ones here; everything else passes through unchanged.
#include "platform/dialog_api.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

// Needs the types of windows.h before it.
#include <commdlg.h>

namespace pavix {
namespace {

using win32::FromNative;
using win32::Window;

static_assert(kWmSetIcon == WM_SETICON && kIconSmall == ICON_SMALL && kIconBig == ICON_BIG);
static_assert(kLrDefaultColor == LR_DEFAULTCOLOR);
static_assert(kBnClicked == BN_CLICKED && kBmGetCheck == BM_GETCHECK && kBmSetCheck == BM_SETCHECK);
static_assert(kBstUnchecked == BST_UNCHECKED && kBstChecked == BST_CHECKED);
static_assert(kCbnSelChange == CBN_SELCHANGE && kCbAddString == CB_ADDSTRING);
static_assert(kCbGetCurSel == CB_GETCURSEL && kCbSetCurSel == CB_SETCURSEL && kCbErr == CB_ERR);
static_assert(kEmLimitText == EM_LIMITTEXT);
static_assert(kHkmSetHotkey == HKM_SETHOTKEY && kHkmGetHotkey == HKM_GETHOTKEY);
static_assert(kHotkeyfShift == HOTKEYF_SHIFT && kHotkeyfControl == HOTKEYF_CONTROL);
static_assert(kHotkeyfAlt == HOTKEYF_ALT && kHotkeyfExt == HOTKEYF_EXT);
static_assert(kLvmGetItemCount == LVM_GETITEMCOUNT && kLvmDeleteItem == LVM_DELETEITEM);
static_assert(kLvmGetNextItem == LVM_GETNEXTITEM && kLvmEnsureVisible == LVM_ENSUREVISIBLE);
static_assert(kLvmInsertColumnA == LVM_INSERTCOLUMNA && kLvmSetItemState == LVM_SETITEMSTATE);
static_assert(kLvmSetItemCount == LVM_SETITEMCOUNT);
static_assert(kLvmSetExtendedListViewStyle == LVM_SETEXTENDEDLISTVIEWSTYLE);
static_assert(kLvmGetExtendedListViewStyle == LVM_GETEXTENDEDLISTVIEWSTYLE);
static_assert(kLvsExFullRowSelect == LVS_EX_FULLROWSELECT && kLvniSelected == LVNI_SELECTED);
static_assert(kLvisFocused == LVIS_FOCUSED && kLvisSelected == LVIS_SELECTED);
static_assert(kLvifText == LVIF_TEXT && kLvifState == LVIF_STATE);
static_assert(kLvcfWidth == LVCF_WIDTH && kLvcfText == LVCF_TEXT);
static_assert(kLvnItemChanged == LVN_ITEMCHANGED && kLvnGetDispInfoA == LVN_GETDISPINFOA);
static_assert(kOfnNoChangeDir == OFN_NOCHANGEDIR && kOfnEnableHook == OFN_ENABLEHOOK);
static_assert(kOfnExplorer == OFN_EXPLORER && kOfnEnableSizing == OFN_ENABLESIZING);
static_assert(kOfnOverwritePrompt == OFN_OVERWRITEPROMPT && kOfnHideReadOnly == OFN_HIDEREADONLY);
static_assert(kOfnPathMustExist == OFN_PATHMUSTEXIST && kOfnFileMustExist == OFN_FILEMUSTEXIST);

LRESULT SendTranslated(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_INSERTCOLUMNA) {
        const auto& column = *reinterpret_cast<const ListViewColumn*>(lParam);
        LVCOLUMNA native = {};
        native.mask = column.mask;
        native.cx = column.cx;
        native.pszText = const_cast<char*>(column.pszText);
        return ::SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(&native));
    }
    if (message == LVM_SETITEMSTATE) {
        const auto& item = *reinterpret_cast<const ListViewItem*>(lParam);
        LVITEMA native = {};
        native.mask = item.mask;
        native.iItem = item.iItem;
        native.iSubItem = item.iSubItem;
        native.state = item.state;
        native.stateMask = item.stateMask;
        return ::SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(&native));
    }
    return ::SendMessageA(window, message, wParam, lParam);
}

// The hook of an explorer-style open-file dialog that leaves every message to the dialog.
UINT_PTR CALLBACK PassiveHook(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

OPENFILENAMEA NativeFileName(const OpenFileName& request) {
    OPENFILENAMEA native = {};
    native.lStructSize = sizeof native;
    native.hwndOwner = Window(request.hwndOwner);
    native.lpstrFilter = request.lpstrFilter;
    native.lpstrFile = request.lpstrFile;
    native.nMaxFile = request.nMaxFile;
    native.lpstrTitle = request.lpstrTitle;
    native.Flags = request.Flags;
    native.lpstrDefExt = request.lpstrDefExt;
    if ((request.Flags & OFN_ENABLEHOOK) != 0) {
        native.lpfnHook = PassiveHook;
    }
    return native;
}

RECT NativeRect(const Rect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

WindowHandle Win32Platform::GetDlgItem(WindowHandle dialog, std::int32_t id) {
    return FromNative<WindowHandle>(::GetDlgItem(Window(dialog), id));
}

std::intptr_t Win32Platform::SendDlgItemMessageA(WindowHandle dialog, std::int32_t id,
                                                 std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
    return SendTranslated(::GetDlgItem(Window(dialog), id), message, wParam, lParam);
}

std::intptr_t Win32Platform::SendMessageA(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
    return SendTranslated(Window(window), message, wParam, lParam);
}

bool Win32Platform::SetDlgItemTextA(WindowHandle dialog, std::int32_t id, const char* text) {
    return ::SetDlgItemTextA(Window(dialog), id, text) != FALSE;
}

std::uint32_t Win32Platform::GetDlgItemInt(WindowHandle dialog, std::int32_t id, bool* translated,
                                           bool isSigned) {
    BOOL done = FALSE;
    const UINT value = ::GetDlgItemInt(Window(dialog), id, &done, isSigned ? TRUE : FALSE);
    if (translated != nullptr) {
        *translated = done != FALSE;
    }
    return value;
}

bool Win32Platform::SetDlgItemInt(WindowHandle dialog, std::int32_t id, std::uint32_t value,
                                  bool isSigned) {
    return ::SetDlgItemInt(Window(dialog), id, value, isSigned ? TRUE : FALSE) != FALSE;
}

std::int32_t Win32Platform::GetWindowTextLengthA(WindowHandle window) {
    return ::GetWindowTextLengthA(Window(window));
}

std::int32_t Win32Platform::GetWindowTextA(WindowHandle window, char* buffer,
                                           std::int32_t maxCount) {
    return ::GetWindowTextA(Window(window), buffer, maxCount);
}

bool Win32Platform::EnableWindow(WindowHandle window, bool enable) {
    return ::EnableWindow(Window(window), enable ? TRUE : FALSE) != FALSE;
}

WindowHandle Win32Platform::SetFocus(WindowHandle window) {
    return FromNative<WindowHandle>(::SetFocus(Window(window)));
}

bool Win32Platform::GetClientRect(WindowHandle window, Rect* rect) {
    RECT native = {};
    const bool done = ::GetClientRect(Window(window), &native) != FALSE;
    *rect = Rect{native.left, native.top, native.right, native.bottom};
    return done;
}

bool Win32Platform::InvalidateRect(WindowHandle window, const Rect* rect, bool erase) {
    const RECT native = rect != nullptr ? NativeRect(*rect) : RECT{};
    return ::InvalidateRect(Window(window), rect != nullptr ? &native : nullptr,
                            erase ? TRUE : FALSE) != FALSE;
}

bool Win32Platform::EndDialog(WindowHandle dialog, std::intptr_t result) {
    return ::EndDialog(Window(dialog), result) != FALSE;
}

bool Win32Platform::GetOpenFileNameA(OpenFileName* openFileName) {
    OPENFILENAMEA native = NativeFileName(*openFileName);
    return ::GetOpenFileNameA(&native) != FALSE;
}

bool Win32Platform::GetSaveFileNameA(OpenFileName* openFileName) {
    OPENFILENAMEA native = NativeFileName(*openFileName);
    return ::GetSaveFileNameA(&native) != FALSE;
}

}  // namespace pavix
