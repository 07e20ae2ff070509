// The window and dialog procedures through which native messages reach the portable handlers.
#pragma once

#include "platform/win32/native.h"

namespace pavix::win32 {

// Keeps the WindowHandler passed as the creation parameter from WM_NCCREATE on and forwards each
// message to it; earlier messages, and every message of a window created without a handler, go
// to DefWindowProcA.
LRESULT CALLBACK ForwardingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Keeps the DialogHandler passed as the initialisation parameter from WM_INITDIALOG on and
// forwards each message to it, WM_NOTIFY with its record in portable form; earlier messages are
// left to the dialog manager.
INT_PTR CALLBACK ForwardingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pavix::win32
