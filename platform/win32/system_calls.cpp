// Errors, hotkeys, key names, sound and the system services.
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {

using win32::Kernel;
using win32::Module;
using win32::Window;

std::uint32_t Win32Platform::GetLastError() {
    return ::GetLastError();
}

bool Win32Platform::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                   std::uint32_t key) {
    return ::RegisterHotKey(Window(window), id, modifiers, key) != FALSE;
}

bool Win32Platform::UnregisterHotKey(WindowHandle window, std::int32_t id) {
    return ::UnregisterHotKey(Window(window), id) != FALSE;
}

std::uint32_t Win32Platform::MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) {
    return ::MapVirtualKeyA(code, mapType);
}

std::int32_t Win32Platform::GetKeyNameTextA(std::int32_t lParam, char* buffer, std::int32_t size) {
    return ::GetKeyNameTextA(lParam, buffer, size);
}

std::int16_t Win32Platform::GetKeyState(std::int32_t virtualKey) {
    return ::GetKeyState(virtualKey);
}

bool Win32Platform::PlaySoundA(const char* sound, ModuleHandle module, std::uint32_t flags) {
    return ::PlaySoundA(sound, Module(module), flags) != FALSE;
}

std::intptr_t Win32Platform::ShellExecuteA(WindowHandle owner, const char* operation,
                                           const char* file, const char* parameters,
                                           const char* directory, std::int32_t showCommand) {
    HINSTANCE result =
        ::ShellExecuteA(Window(owner), operation, file, parameters, directory, showCommand);
    return win32::FromNative<std::intptr_t>(result);
}

std::uint32_t Win32Platform::FormatMessageA(std::uint32_t flags, const void* source,
                                            std::uint32_t messageId, std::uint32_t languageId,
                                            char** allocated, std::uint32_t size) {
    // A failed call leaves *allocated null rather than undefined.
    LPSTR target = *allocated;
    if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        *allocated = nullptr;
        target = reinterpret_cast<LPSTR>(allocated);
    }
    return ::FormatMessageA(flags, source, messageId, languageId, target, size, nullptr);
}

void Win32Platform::LocalFree(void* memory) {
    ::LocalFree(static_cast<HLOCAL>(memory));
}

bool Win32Platform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    return ::ExitWindowsEx(flags, reason) != FALSE;
}

bool Win32Platform::SetSystemPowerState(bool suspend, bool force) {
    return ::SetSystemPowerState(suspend, force) != FALSE;
}

bool Win32Platform::LockWorkStation() {
    return ::LockWorkStation() != FALSE;
}

bool Win32Platform::GetVersionExA(OsVersionInfo* info) {
    // The two layouts are checked to be identical; see constant_checks.cpp.
    return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(info)) != FALSE;
}

KernelHandle Win32Platform::GetCurrentProcess() {
    return win32::FromNative<KernelHandle>(::GetCurrentProcess());
}

bool Win32Platform::OpenProcessToken(KernelHandle process, std::uint32_t access,
                                     KernelHandle* token) {
    HANDLE opened = nullptr;
    const BOOL done = ::OpenProcessToken(Kernel(process), access, &opened);
    *token = win32::FromNative<KernelHandle>(opened);
    return done != FALSE;
}

bool Win32Platform::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
    LUID value{};
    const BOOL done = ::LookupPrivilegeValueA(systemName, name, &value);
    luid->lowPart = value.LowPart;
    luid->highPart = value.HighPart;
    return done != FALSE;
}

bool Win32Platform::AdjustTokenPrivileges(KernelHandle token, bool disableAll,
                                          const TokenPrivilege* newState) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = newState->privilegeCount;
    privileges.Privileges[0].Luid.LowPart = newState->luid.lowPart;
    privileges.Privileges[0].Luid.HighPart = newState->luid.highPart;
    privileges.Privileges[0].Attributes = newState->attributes;
    return ::AdjustTokenPrivileges(Kernel(token), disableAll, &privileges, 0, nullptr, nullptr) !=
           FALSE;
}

bool Win32Platform::PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    return ::PostMessageA(Window(window), message, wParam, lParam) != FALSE;
}

}  // namespace pavix
