// Resources, message boxes, the notification area and menus.
#include <cstring>

#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {

using win32::Menu;
using win32::Module;
using win32::Window;

namespace {

// The shell reads only cbSize bytes of the record, so the larger native structure of this SDK
// carries the form without the version 5 fields unchanged.
NOTIFYICONDATAA ToNativeIconData(const NotifyIconData& data) {
    NOTIFYICONDATAA native{};
    native.cbSize = data.cbSize;
    native.hWnd = Window(data.hWnd);
    native.uID = data.uID;
    native.uFlags = data.uFlags;
    native.uCallbackMessage = data.uCallbackMessage;
    native.hIcon = win32::ToNative<HICON>(data.hIcon);
    std::memcpy(native.szTip, data.szTip, sizeof(data.szTip));
    return native;
}

}  // namespace

std::int32_t Win32Platform::LoadStringA(ModuleHandle instance, std::uint32_t id, char* buffer,
                                        std::int32_t bufferMax) {
    return ::LoadStringA(Module(instance), id, buffer, bufferMax);
}

std::int32_t Win32Platform::MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                                        std::uint32_t type) {
    return ::MessageBoxA(Window(owner), text, caption, type);
}

WindowHandle Win32Platform::FindWindowA(const char* className, const char* windowName) {
    return win32::FromNative<WindowHandle>(::FindWindowA(className, windowName));
}

WindowHandle Win32Platform::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                          const char* className, const char* windowName) {
    HWND found = ::FindWindowExA(Window(parent), Window(childAfter), className, windowName);
    return win32::FromNative<WindowHandle>(found);
}

std::int32_t Win32Platform::GetSystemMetrics(std::int32_t index) {
    return ::GetSystemMetrics(index);
}

IconHandle Win32Platform::LoadImageA(ModuleHandle instance, std::uint32_t resourceId,
                                     std::uint32_t type, std::int32_t width, std::int32_t height,
                                     std::uint32_t flags) {
    HANDLE image =
        ::LoadImageA(Module(instance), MAKEINTRESOURCEA(resourceId), type, width, height, flags);
    return win32::FromNative<IconHandle>(image);
}

bool Win32Platform::DestroyIcon(IconHandle icon) {
    return ::DestroyIcon(win32::ToNative<HICON>(icon)) != FALSE;
}

bool Win32Platform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData* data) {
    NOTIFYICONDATAA native = ToNativeIconData(*data);
    return ::Shell_NotifyIconA(message, &native) != FALSE;
}

bool Win32Platform::GetCursorPos(Point* point) {
    POINT native{};
    const BOOL done = ::GetCursorPos(&native);
    point->x = native.x;
    point->y = native.y;
    return done != FALSE;
}

MenuHandle Win32Platform::LoadMenuA(ModuleHandle instance, std::uint32_t resourceId) {
    HMENU menu = ::LoadMenuA(Module(instance), MAKEINTRESOURCEA(resourceId));
    return win32::FromNative<MenuHandle>(menu);
}

MenuHandle Win32Platform::GetSubMenu(MenuHandle menu, std::int32_t position) {
    return win32::FromNative<MenuHandle>(::GetSubMenu(Menu(menu), position));
}

std::int32_t Win32Platform::EnableMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t flags) {
    return ::EnableMenuItem(Menu(menu), id, flags);
}

std::int32_t Win32Platform::TrackPopupMenu(MenuHandle menu, std::uint32_t flags, std::int32_t x,
                                           std::int32_t y, std::int32_t reserved,
                                           WindowHandle owner, const void* rect) {
    return ::TrackPopupMenu(Menu(menu), flags, x, y, reserved, Window(owner),
                            static_cast<const RECT*>(rect));
}

std::uint32_t Win32Platform::CheckMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t check) {
    return ::CheckMenuItem(Menu(menu), id, check);
}

bool Win32Platform::DestroyMenu(MenuHandle menu) {
    return ::DestroyMenu(Menu(menu)) != FALSE;
}

std::int32_t Win32Platform::SHGetFolderPathA(WindowHandle owner, std::int32_t folder,
                                             KernelHandle token, std::uint32_t flags, char* path) {
    return ::SHGetFolderPathA(Window(owner), folder, win32::Kernel(token), flags, path);
}

// The link object's interfaces are released on every path; a file that Save left half-written
// is removed.
std::int32_t Win32Platform::SaveShellLinkA(const char* linkPath, const char* target,
                                           const char* workingFolder) {
    IShellLinkA* link = nullptr;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(result)) {
        return result;
    }
    result = link->SetPath(target);
    if (SUCCEEDED(result)) {
        result = link->SetWorkingDirectory(workingFolder);
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(result)) {
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    }
    if (SUCCEEDED(result)) {
        wchar_t widePath[MAX_PATH];
        result = ::MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) > 0
                     ? file->Save(widePath, TRUE)
                     : E_INVALIDARG;
        file->Release();
        if (FAILED(result)) {
            ::DeleteFileA(linkPath);
        }
    }
    link->Release();
    return result;
}

}  // namespace pavix
