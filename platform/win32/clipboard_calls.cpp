// The clipboard and its movable memory.
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {

namespace {

HGLOBAL Memory(MemoryHandle memory) {
    return win32::ToNative<HGLOBAL>(memory);
}

}  // namespace

bool Win32Platform::OpenClipboard(WindowHandle owner) {
    return ::OpenClipboard(win32::Window(owner)) != FALSE;
}

bool Win32Platform::EmptyClipboard() {
    return ::EmptyClipboard() != FALSE;
}

MemoryHandle Win32Platform::SetClipboardData(std::uint32_t format, MemoryHandle data) {
    return win32::FromNative<MemoryHandle>(::SetClipboardData(format, Memory(data)));
}

bool Win32Platform::CloseClipboard() {
    return ::CloseClipboard() != FALSE;
}

MemoryHandle Win32Platform::GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
    return win32::FromNative<MemoryHandle>(::GlobalAlloc(flags, bytes));
}

void* Win32Platform::GlobalLock(MemoryHandle memory) {
    return ::GlobalLock(Memory(memory));
}

bool Win32Platform::GlobalUnlock(MemoryHandle memory) {
    return ::GlobalUnlock(Memory(memory)) != FALSE;
}

MemoryHandle Win32Platform::GlobalFree(MemoryHandle memory) {
    return win32::FromNative<MemoryHandle>(::GlobalFree(Memory(memory)));
}

}  // namespace pavix
