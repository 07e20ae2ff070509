// The process, window, message-loop, timer and dialog services.
#include "platform/win32/forwarding.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {

using win32::Menu;
using win32::Module;
using win32::Window;

namespace {

MSG ToNativeMessage(const Message& message) {
    MSG native{};
    native.hwnd = Window(message.window);
    native.message = message.message;
    native.wParam = message.wParam;
    native.lParam = message.lParam;
    return native;
}

}  // namespace

KernelHandle Win32Platform::CreateMutexA(const void* attributes, bool initialOwner,
                                         const char* name) {
    auto* security = static_cast<SECURITY_ATTRIBUTES*>(const_cast<void*>(attributes));
    return win32::FromNative<KernelHandle>(::CreateMutexA(security, initialOwner, name));
}

std::int32_t Win32Platform::CoInitialize(const void* reserved) {
    return ::CoInitialize(const_cast<void*>(reserved));
}

void Win32Platform::CoUninitialize() {
    ::CoUninitialize();
}

bool Win32Platform::InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) {
    const INITCOMMONCONTROLSEX controls{size, classes};
    return ::InitCommonControlsEx(&controls) != FALSE;
}

std::uint32_t Win32Platform::RegisterWindowMessageA(const char* name) {
    return ::RegisterWindowMessageA(name);
}

std::uint16_t Win32Platform::RegisterClassExA(const WindowClass& windowClass) {
    WNDCLASSEXA native{};
    native.cbSize = sizeof(native);
    native.lpfnWndProc = win32::ForwardingWindowProc;
    native.hInstance = Module(windowClass.instance);
    native.lpszClassName = windowClass.className;
    if (windowClass.cursorId != 0) {
        native.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(windowClass.cursorId));
    }
    native.hbrBackground = win32::ToNative<HBRUSH>(std::uintptr_t{windowClass.background});
    return ::RegisterClassExA(&native);
}

WindowHandle Win32Platform::CreateWindowExA(std::uint32_t exStyle, const char* className,
                                            const char* windowName, std::uint32_t style,
                                            std::int32_t x, std::int32_t y, std::int32_t width,
                                            std::int32_t height, WindowHandle parent,
                                            MenuHandle menu, ModuleHandle instance,
                                            WindowHandler* handler) {
    HWND window = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                    Window(parent), Menu(menu), Module(instance), handler);
    return win32::FromNative<WindowHandle>(window);
}

std::int32_t Win32Platform::GetMessageA(Message* message, WindowHandle window,
                                        std::uint32_t filterMin, std::uint32_t filterMax) {
    MSG native{};
    const BOOL result = ::GetMessageA(&native, Window(window), filterMin, filterMax);
    message->window = win32::FromNative<WindowHandle>(native.hwnd);
    message->message = native.message;
    message->wParam = native.wParam;
    message->lParam = native.lParam;
    return result;
}

bool Win32Platform::PeekMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                                 std::uint32_t filterMax, std::uint32_t removeFlags) {
    MSG native{};
    const BOOL found = ::PeekMessageA(&native, Window(window), filterMin, filterMax, removeFlags);
    message->window = win32::FromNative<WindowHandle>(native.hwnd);
    message->message = native.message;
    message->wParam = native.wParam;
    message->lParam = native.lParam;
    return found != FALSE;
}

std::uint32_t Win32Platform::MsgWaitForMultipleObjectsEx(std::uint32_t count,
                                                         const KernelHandle* handles,
                                                         std::uint32_t milliseconds,
                                                         std::uint32_t wakeMask,
                                                         std::uint32_t flags) {
    HANDLE native[MAXIMUM_WAIT_OBJECTS - 1] = {};
    if (count > MAXIMUM_WAIT_OBJECTS - 1) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        native[i] = win32::Kernel(handles[i]);
    }
    return ::MsgWaitForMultipleObjectsEx(count, native, milliseconds, wakeMask, flags);
}

bool Win32Platform::TranslateMessage(const Message* message) {
    const MSG native = ToNativeMessage(*message);
    return ::TranslateMessage(&native) != FALSE;
}

std::intptr_t Win32Platform::DispatchMessageA(const Message* message) {
    const MSG native = ToNativeMessage(*message);
    return ::DispatchMessageA(&native);
}

std::intptr_t Win32Platform::DefWindowProcA(WindowHandle window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
    return ::DefWindowProcA(Window(window), message, wParam, lParam);
}

bool Win32Platform::DestroyWindow(WindowHandle window) {
    return ::DestroyWindow(Window(window)) != FALSE;
}

void Win32Platform::PostQuitMessage(std::int32_t exitCode) {
    ::PostQuitMessage(exitCode);
}

std::uintptr_t Win32Platform::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse,
                                       const void* timerProc) {
    auto procedure = reinterpret_cast<TIMERPROC>(const_cast<void*>(timerProc));
    return ::SetTimer(Window(window), id, elapse, procedure);
}

bool Win32Platform::KillTimer(WindowHandle window, std::uintptr_t id) {
    return ::KillTimer(Window(window), id) != FALSE;
}

WindowHandle Win32Platform::GetActiveWindow() {
    return win32::FromNative<WindowHandle>(::GetActiveWindow());
}

bool Win32Platform::SetForegroundWindow(WindowHandle window) {
    return ::SetForegroundWindow(Window(window)) != FALSE;
}

WindowHandle Win32Platform::GetWindow(WindowHandle window, std::uint32_t command) {
    return win32::FromNative<WindowHandle>(::GetWindow(Window(window), command));
}

std::intptr_t Win32Platform::DialogBoxParamA(ModuleHandle instance, std::uint32_t templateId,
                                             WindowHandle owner, DialogHandler* dialog,
                                             std::intptr_t /*initParam*/) {
    return ::DialogBoxParamA(Module(instance), MAKEINTRESOURCEA(templateId), Window(owner),
                             win32::ForwardingDialogProc, reinterpret_cast<LPARAM>(dialog));
}

bool Win32Platform::MessageBeep(std::uint32_t type) {
    return ::MessageBeep(type) != FALSE;
}

bool Win32Platform::ShowWindow(WindowHandle window, std::int32_t showCommand) {
    return ::ShowWindow(Window(window), showCommand) != FALSE;
}

bool Win32Platform::GetWindowRect(WindowHandle window, Rect* rect) {
    RECT native{};
    const BOOL done = ::GetWindowRect(Window(window), &native);
    *rect = Rect{native.left, native.top, native.right, native.bottom};
    return done != FALSE;
}

std::int32_t Win32Platform::MapWindowPoints(WindowHandle from, WindowHandle to, Point* points,
                                            std::uint32_t count) {
    return ::MapWindowPoints(Window(from), Window(to), reinterpret_cast<POINT*>(points), count);
}

WindowHandle Win32Platform::CreateDialogParamA(ModuleHandle instance, std::uint32_t templateId,
                                               WindowHandle owner, DialogHandler* dialog,
                                               std::intptr_t /*initParam*/) {
    HWND window =
        ::CreateDialogParamA(Module(instance), MAKEINTRESOURCEA(templateId), Window(owner),
                             win32::ForwardingDialogProc, reinterpret_cast<LPARAM>(dialog));
    return win32::FromNative<WindowHandle>(window);
}

bool Win32Platform::IsDialogMessageA(WindowHandle dialog, Message* message) {
    MSG native = ToNativeMessage(*message);
    return ::IsDialogMessageA(Window(dialog), &native) != FALSE;
}

bool Win32Platform::SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* data,
                                          std::uint32_t winIni) {
    return ::SystemParametersInfoA(action, param, data, winIni) != FALSE;
}

GdiObject Win32Platform::GetStockObject(std::int32_t index) {
    return win32::FromNative<GdiObject>(::GetStockObject(index));
}

DeviceContext Win32Platform::GetDC(WindowHandle window) {
    return win32::FromNative<DeviceContext>(::GetDC(Window(window)));
}

std::int32_t Win32Platform::ReleaseDC(WindowHandle window, DeviceContext context) {
    return ::ReleaseDC(Window(window), win32::ToNative<HDC>(context));
}

GdiObject Win32Platform::SelectObject(DeviceContext context, GdiObject object) {
    HGDIOBJ previous =
        ::SelectObject(win32::ToNative<HDC>(context), win32::ToNative<HGDIOBJ>(object));
    return win32::FromNative<GdiObject>(previous);
}

bool Win32Platform::GetTextExtentPoint32A(DeviceContext context, const char* text,
                                          std::int32_t length, Size* size) {
    SIZE native{};
    const BOOL done = ::GetTextExtentPoint32A(win32::ToNative<HDC>(context), text, length, &native);
    size->cx = native.cx;
    size->cy = native.cy;
    return done != FALSE;
}

}  // namespace pavix
