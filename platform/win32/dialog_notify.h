// WM_NOTIFY in portable form: the records the list views send are translated field by field
// before they reach a dialog's handler.
#pragma once

#include "platform/platform.h"
#include "platform/win32/native.h"

namespace pavix::win32 {

// Hands `handler` the notification at `lParam` as a NotifyHeader, or as the ListViewNotify or
// ListViewDispInfo that begins with one; returns what the handler returns. Text written into a
// LVN_GETDISPINFOA's buffer goes straight to the list view's own buffer.
INT_PTR ForwardNotify(DialogHandler& handler, HWND dialog, WPARAM wParam, LPARAM lParam);

}  // namespace pavix::win32
