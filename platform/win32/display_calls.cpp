// Monitors, the display scale and the message filter. The calls that newer Windows versions
// added are looked up by name on every use, so that the program starts on the systems that lack
// them; they are rare (a tray icon or a hint window being drawn), and a lookup costs little.
#include "platform/constants.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {

using win32::Window;

namespace {

HMONITOR Monitor(MonitorHandle monitor) {
    return win32::ToNative<HMONITOR>(monitor);
}

// Null, with ERROR_PROC_NOT_FOUND as the last error, where `module` lacks `name`.
template <typename Function>
Function Find(HMODULE module, const char* name) {
    FARPROC found = module != nullptr ? ::GetProcAddress(module, name) : nullptr;
    if (found == nullptr) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

HMODULE User32() {
    return ::GetModuleHandleA("user32.dll");
}

// shcore.dll (Windows 8.1 on) from the system folder alone, never from the program's own.
HMODULE ShellCore() {
    if (HMODULE loaded = ::GetModuleHandleA("shcore.dll")) {
        return loaded;
    }
    char path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    constexpr char kName[] = "\\shcore.dll";
    if (length == 0 || length + sizeof(kName) > MAX_PATH) {
        return nullptr;
    }
    lstrcpyA(path + length, kName);
    return ::LoadLibraryA(path);
}

}  // namespace

MonitorHandle Win32Platform::MonitorFromWindow(WindowHandle window, std::uint32_t flags) {
    return win32::FromNative<MonitorHandle>(::MonitorFromWindow(Window(window), flags));
}

bool Win32Platform::GetMonitorInfoA(MonitorHandle monitor, MonitorInfo* info) {
    MONITORINFO native{};
    native.cbSize = info->cbSize;
    const BOOL done = ::GetMonitorInfoA(Monitor(monitor), &native);
    info->rcMonitor = Rect{native.rcMonitor.left, native.rcMonitor.top, native.rcMonitor.right,
                           native.rcMonitor.bottom};
    info->rcWork =
        Rect{native.rcWork.left, native.rcWork.top, native.rcWork.right, native.rcWork.bottom};
    info->dwFlags = native.dwFlags;
    return done != FALSE;
}

std::uint32_t Win32Platform::GetDpiForWindow(WindowHandle window) {
    using Function = UINT(WINAPI*)(HWND);
    const auto call = Find<Function>(User32(), "GetDpiForWindow");
    return call != nullptr ? call(Window(window)) : 0;
}

std::int32_t Win32Platform::GetDpiForMonitor(MonitorHandle monitor, std::uint32_t dpiType,
                                             std::uint32_t* dpiX, std::uint32_t* dpiY) {
    using Function = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const auto call = Find<Function>(ShellCore(), "GetDpiForMonitor");
    if (call == nullptr) {
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    UINT x = 0;
    UINT y = 0;
    const HRESULT result = call(Monitor(monitor), static_cast<int>(dpiType), &x, &y);
    *dpiX = x;
    *dpiY = y;
    return result;
}

bool Win32Platform::ChangeWindowMessageFilterEx(WindowHandle window, std::uint32_t message,
                                                std::uint32_t action) {
    using Function = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const auto call = Find<Function>(User32(), "ChangeWindowMessageFilterEx");
    return call != nullptr && call(Window(window), message, action, nullptr) != FALSE;
}

bool Win32Platform::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) {
    using Function = BOOL(WINAPI*)(UINT, DWORD);
    const auto call = Find<Function>(User32(), "ChangeWindowMessageFilter");
    return call != nullptr && call(message, flag) != FALSE;
}

std::int32_t Win32Platform::GetSystemMetricsForDpi(std::int32_t index, std::uint32_t dpi) {
    using Function = int(WINAPI*)(int, UINT);
    const auto call = Find<Function>(User32(), "GetSystemMetricsForDpi");
    return call != nullptr ? call(index, dpi) : 0;
}

std::int32_t Win32Platform::GetDeviceCaps(DeviceContext context, std::int32_t index) {
    return ::GetDeviceCaps(win32::ToNative<HDC>(context), index);
}

std::int32_t Win32Platform::GetObjectA(GdiObject object, std::int32_t size, LogFont* font) {
    return ::GetObjectA(win32::ToNative<HGDIOBJ>(object), size, font);
}

GdiObject Win32Platform::CreateFontIndirectA(const LogFont* font) {
    return win32::FromNative<GdiObject>(
        ::CreateFontIndirectA(reinterpret_cast<const LOGFONTA*>(font)));
}

bool Win32Platform::DeleteObject(GdiObject object) {
    return ::DeleteObject(win32::ToNative<HGDIOBJ>(object)) != FALSE;
}

}  // namespace pavix
