#include "platform/win32/forwarding.h"

#include "platform/win32/dialog_notify.h"

#include "platform/platform.h"

namespace pavix::win32 {

LRESULT CALLBACK ForwardingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* handler = reinterpret_cast<WindowHandler*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (handler == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    return handler->WindowProc(FromNative<WindowHandle>(window), message, wParam, lParam);
}

INT_PTR CALLBACK ForwardingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    }
    auto* handler = reinterpret_cast<DialogHandler*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (handler == nullptr) {
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        return ForwardNotify(*handler, dialog, wParam, lParam);
    }
    return handler->DialogProc(FromNative<WindowHandle>(dialog), message, wParam, lParam);
}

}  // namespace pavix::win32
