// The dialog group of the platform interfaces: what a modal dialog's behaviour asks of its own
// window and of the controls in it, addressed by control id wherever the platform allows it.
// Names, argument orders and numeric values are the platform's; the records that travel by
// pointer (list-view columns and rows, notifications, the open-file request) are portable
// reductions that the backend translates field by field.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace pavix {

// RECT
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// MONITORINFO, 40 bytes.
struct MonitorInfo {
    std::uint32_t cbSize = 40;
    Rect rcMonitor;
    Rect rcWork;
    std::uint32_t dwFlags = 0;
};
static_assert(sizeof(MonitorInfo) == 40, "MONITORINFO layout");

// LVCOLUMNA, reduced to what Pavix sets (LVM_INSERTCOLUMNA).
struct ListViewColumn {
    std::uint32_t mask = 0;
    std::int32_t cx = 0;
    const char* pszText = nullptr;
};

// LVITEMA, reduced to the state and text members (LVM_SETITEMSTATE, LVN_GETDISPINFOA).
struct ListViewItem {
    std::uint32_t mask = 0;
    std::int32_t iItem = 0;
    std::int32_t iSubItem = 0;
    std::uint32_t state = 0;
    std::uint32_t stateMask = 0;
    char* pszText = nullptr;
    std::int32_t cchTextMax = 0;
};

// NMHDR: every WM_NOTIFY's lParam points to one, at the start of the code's own record.
struct NotifyHeader {
    WindowHandle hwndFrom = 0;
    std::uintptr_t idFrom = 0;
    std::uint32_t code = 0;
};

// NMLISTVIEW (LVN_ITEMCHANGED), without the action point and the row's parameter.
struct ListViewNotify {
    NotifyHeader hdr;
    std::int32_t iItem = -1;
    std::int32_t iSubItem = 0;
    std::uint32_t uNewState = 0;
    std::uint32_t uOldState = 0;
    std::uint32_t uChanged = 0;
};

// NMLVKEYDOWN (LVN_KEYDOWN): a key pressed while the list view has the focus.
struct ListViewKeyDown {
    NotifyHeader hdr;
    std::uint16_t wVKey = 0;
    std::uint32_t flags = 0;
};

// NMLVDISPINFOA (LVN_GETDISPINFOA): the handler writes into item.pszText, at most cchTextMax
// bytes including the terminating zero.
struct ListViewDispInfo {
    NotifyHeader hdr;
    ListViewItem item;
};

// OPENFILENAMEA, reduced to what Pavix sets, for both the open-file and the save-file dialog.
// lpstrFile holds the initial file name and receives the chosen path; with OFN_ENABLEHOOK the
// backend supplies a hook that handles nothing.
struct OpenFileName {
    WindowHandle hwndOwner = 0;
    const char* lpstrFilter = nullptr;  // pairs of zero-terminated texts, ended by an empty one
    char* lpstrFile = nullptr;
    std::uint32_t nMaxFile = 0;
    const char* lpstrTitle = nullptr;  // null: the platform's own title
    std::uint32_t Flags = 0;
    const char* lpstrDefExt = nullptr;  // appended to a name typed without extension
};

// Messages, notifications and flags of the dialogs and their controls (the Win32 backend checks
// each against its macro at compile time).
constexpr std::uint32_t kWmSetIcon = 0x0080;
constexpr std::uint32_t kWmNextDlgCtl = 0x0028;
constexpr std::uintptr_t kIconSmall = 0;
constexpr std::uintptr_t kIconBig = 1;
constexpr std::uint32_t kLrDefaultColor = 0;

constexpr std::uint16_t kBnClicked = 0;
constexpr std::uint32_t kBmGetCheck = 0x00F0;
constexpr std::uint32_t kBmSetCheck = 0x00F1;
constexpr std::uintptr_t kBstUnchecked = 0;
constexpr std::uintptr_t kBstChecked = 1;

constexpr std::uint16_t kCbnSelChange = 1;
constexpr std::uint32_t kCbAddString = 0x0143;
constexpr std::uint32_t kCbGetCurSel = 0x0147;
constexpr std::uint32_t kCbSetCurSel = 0x014E;
constexpr std::intptr_t kCbErr = -1;

constexpr std::uint16_t kEnChange = 0x0300;
constexpr std::uint32_t kEmLimitText = 0x00C5;

constexpr std::uint32_t kHkmSetHotkey = 0x0401;
constexpr std::uint32_t kHkmGetHotkey = 0x0402;
constexpr std::uint8_t kHotkeyfShift = 0x01;
constexpr std::uint8_t kHotkeyfControl = 0x02;
constexpr std::uint8_t kHotkeyfAlt = 0x04;
constexpr std::uint8_t kHotkeyfExt = 0x08;

constexpr std::uint32_t kLvmGetItemCount = 0x1004;
constexpr std::uint32_t kLvmDeleteItem = 0x1008;
constexpr std::uint32_t kLvmGetNextItem = 0x100C;
constexpr std::uint32_t kLvmEnsureVisible = 0x1013;
constexpr std::uint32_t kLvmInsertColumnA = 0x101B;
constexpr std::uint32_t kLvmSetItemState = 0x102B;
constexpr std::uint32_t kLvmSetItemCount = 0x102F;
constexpr std::uint32_t kLvmSetExtendedListViewStyle = 0x1036;
constexpr std::uint32_t kLvmGetExtendedListViewStyle = 0x1037;
constexpr std::uint32_t kLvsExFullRowSelect = 0x0020;
constexpr std::uint32_t kLvniSelected = 0x0002;
constexpr std::uint32_t kLvisFocused = 0x0001;
constexpr std::uint32_t kLvisSelected = 0x0002;
constexpr std::uint32_t kLvifText = 0x0001;
constexpr std::uint32_t kLvifState = 0x0008;
constexpr std::uint32_t kLvcfWidth = 0x0002;
constexpr std::uint32_t kLvcfText = 0x0004;
constexpr std::uint32_t kLvnItemChanged = 0xFFFFFF9Bu;   // LVN_FIRST - 1
constexpr std::uint32_t kLvnGetDispInfoA = 0xFFFFFF6Au;  // LVN_FIRST - 50
constexpr std::uint32_t kLvnKeyDown = 0xFFFFFF65u;       // LVN_FIRST - 55

constexpr std::uint32_t kOfnOverwritePrompt = 0x00000002;
constexpr std::uint32_t kOfnHideReadOnly = 0x00000004;
constexpr std::uint32_t kOfnNoChangeDir = 0x00000008;
constexpr std::uint32_t kOfnEnableHook = 0x00000020;
constexpr std::uint32_t kOfnPathMustExist = 0x00000800;
constexpr std::uint32_t kOfnFileMustExist = 0x00001000;
constexpr std::uint32_t kOfnExplorer = 0x00080000;
constexpr std::uint32_t kOfnEnableSizing = 0x00800000;

class DialogApi {
  public:
    virtual ~DialogApi() = default;
    virtual WindowHandle GetDlgItem(WindowHandle dialog, std::int32_t id) = 0;
    // lParam carries a text for CB_ADDSTRING, a ListViewColumn* for LVM_INSERTCOLUMNA and a
    // ListViewItem* for LVM_SETITEMSTATE; every other message Pavix sends carries numbers only.
    virtual std::intptr_t SendDlgItemMessageA(WindowHandle dialog, std::int32_t id,
                                              std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam) = 0;
    virtual std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message,
                                       std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual bool SetDlgItemTextA(WindowHandle dialog, std::int32_t id, const char* text) = 0;
    // `translated` is false when the text is not a number of the asked kind; the result is then 0.
    virtual std::uint32_t GetDlgItemInt(WindowHandle dialog, std::int32_t id, bool* translated,
                                        bool isSigned) = 0;
    virtual bool SetDlgItemInt(WindowHandle dialog, std::int32_t id, std::uint32_t value,
                               bool isSigned) = 0;
    // May overstate the length of multi-byte text, never understate it.
    virtual std::int32_t GetWindowTextLengthA(WindowHandle window) = 0;
    // Copies at most maxCount - 1 bytes and a terminating zero; returns the bytes copied.
    virtual std::int32_t GetWindowTextA(WindowHandle window, char* buffer,
                                        std::int32_t maxCount) = 0;
    virtual bool EnableWindow(WindowHandle window, bool enable) = 0;
    // Returns the window that had the focus before.
    virtual WindowHandle SetFocus(WindowHandle window) = 0;
    virtual bool GetClientRect(WindowHandle window, Rect* rect) = 0;
    // A null rect is the whole client area.
    virtual bool InvalidateRect(WindowHandle window, const Rect* rect, bool erase) = 0;
    // Ends the modal loop of DialogBoxParamA, which then returns `result`.
    virtual bool EndDialog(WindowHandle dialog, std::intptr_t result) = 0;
    // True when the user chose a file: lpstrFile then holds its full path.
    virtual bool GetOpenFileNameA(OpenFileName* openFileName) = 0;
    virtual bool GetSaveFileNameA(OpenFileName* openFileName) = 0;
};

}  // namespace pavix
