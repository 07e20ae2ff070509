// The clipboard, movable memory and the keyboard's modifier state on Linux.
#include <cstring>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/linux_platform.h"

namespace pavix {

std::int16_t LinuxPlatform::GetKeyState(std::int32_t virtualKey) {
    // The masks as the desktop reports them: X11's, with Super also as a bit of its own.
    constexpr unsigned kShiftMask = 1u << 0;
    constexpr unsigned kControlMask = 1u << 2;
    constexpr unsigned kMod1Mask = 1u << 3;
    constexpr unsigned kMod4Mask = 1u << 6;
    constexpr unsigned kSuperMask = 1u << 26;
    if (Gui() == nullptr) {
        return 0;
    }
    // While a dialog hears a key press, the press's own state: the server's may lag behind it.
    const std::optional<unsigned> pressed =
        dialogHost_ ? dialogHost_->PressState() : std::optional<unsigned>();
    const unsigned state = pressed ? *pressed : module_->ModifierState();
    unsigned mask = 0;
    switch (virtualKey) {
        case kVkShift:
            mask = kShiftMask;
            break;
        case kVkControl:
            mask = kControlMask;
            break;
        case kVkMenu:
            mask = kMod1Mask;
            break;
        case kVkLWin:
        case kVkRWin:
            mask = kSuperMask | kMod4Mask;
            break;
        default:
            return 0;
    }
    // The high bit set means "down", as on Windows.
    return (state & mask) != 0 ? static_cast<std::int16_t>(0x8000) : 0;
}

std::int32_t LinuxPlatform::MapWindowPoints(WindowHandle from, WindowHandle to, Point* points,
                                            std::uint32_t count) {
    Rect fromRect{};
    Rect toRect{};
    if ((from != 0 && !GetWindowRect(from, &fromRect)) ||
        (to != 0 && !GetWindowRect(to, &toRect))) {
        return 0;
    }
    const std::int32_t dx = fromRect.left - toRect.left;
    const std::int32_t dy = fromRect.top - toRect.top;
    for (std::uint32_t i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return static_cast<std::int32_t>(
        static_cast<std::uint16_t>(dx) |
        (static_cast<std::uint32_t>(static_cast<std::uint16_t>(dy)) << 16));
}

bool LinuxPlatform::OpenClipboard(WindowHandle) {
    if (clipboardOpen_ || Gui() == nullptr) {
        return false;
    }
    clipboardOpen_ = true;
    return true;
}

bool LinuxPlatform::EmptyClipboard() {
    if (!clipboardOpen_) {
        return false;
    }
    module_->ClearClipboard();  // open only with the desktop up
    return true;
}

// The text is handed to GTK, which serves it to other programs until something else is copied;
// the block itself is freed at once, as the clipboard owns it from here on.
MemoryHandle LinuxPlatform::SetClipboardData(std::uint32_t format, MemoryHandle data) {
    const auto block = memory_.find(data);
    if (!clipboardOpen_ || format != kCfText || block == memory_.end()) {
        return 0;
    }
    const std::vector<char>& bytes = block->second;
    const std::size_t length = ::strnlen(bytes.data(), bytes.size());
    module_->SetClipboardText(bytes.data(), length);
    memory_.erase(block);
    return data;
}

bool LinuxPlatform::CloseClipboard() {
    const bool wasOpen = clipboardOpen_;
    clipboardOpen_ = false;
    return wasOpen;
}

MemoryHandle LinuxPlatform::GlobalAlloc(std::uint32_t, std::size_t bytes) {
    const MemoryHandle handle = nextMemory_++;
    memory_[handle].assign(bytes, '\0');
    return handle;
}

void* LinuxPlatform::GlobalLock(MemoryHandle memory) {
    const auto block = memory_.find(memory);
    return block == memory_.end() ? nullptr : block->second.data();
}

bool LinuxPlatform::GlobalUnlock(MemoryHandle memory) {
    return memory_.count(memory) != 0;
}

MemoryHandle LinuxPlatform::GlobalFree(MemoryHandle memory) {
    return memory_.erase(memory) != 0 ? 0 : memory;
}

}  // namespace pavix
