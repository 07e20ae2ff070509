#include "platform/linux/linux_platform.h"

#include <unistd.h>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/glib/exit_signals.h"
#include "platform/linux/portal/portal_connection.h"
#include "platform/linux/portal/portal_hotkeys.h"
#include "platform/linux/x11/x_hotkeys.h"

namespace pavix {

LinuxPlatform::LinuxPlatform(LinuxResources resources, LinuxPlaces places)
    : resources_(std::move(resources)), places_(std::move(places)) {}

LinuxPlatform::~LinuxPlatform() {
    dialogHost_.reset();
    tray_.reset();
    portal_.reset();
    hotkeys_.reset();
    if (lockDescriptor_ >= 0) {
        ::close(lockDescriptor_);
    }
}

bool LinuxPlatform::OpenDisplay() {
    hotkeys_ = XHotkeys::Connect(
        [this](WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::uint32_t key) {
            OnHotkeyPressed(window, id, modifiers, key);
        },
        [this](WindowHandle, std::int32_t, std::uint32_t modifiers, std::uint32_t key) {
            // Told from the main loop: the box waits for the user, and the hotkeys' events are
            // being read now.
            deferred_.Add([this, modifiers, key] {
                if (hotkeyLost_) {
                    hotkeyLost_(modifiers, key);
                }
            });
        });
    return hotkeys_ != nullptr;
}

void LinuxPlatform::EndOnSignals() {
    exitSignals_ = std::make_unique<ExitSignals>();
}

DesktopModule* LinuxPlatform::Module() {
    if (module_ == nullptr && !moduleFailed_) {
        module_ = LoadDesktopModule(places_.desktopModule);
        moduleFailed_ = module_ == nullptr;
    }
    return module_;
}

Desktop* LinuxPlatform::Gui() {
    if (desktop_ || guiFailed_) {
        return desktop_.get();
    }
    // The first window or icon follows the first pass of hotkey calls: the desktop's portal gets
    // the pass's chords now and binds them while GTK starts, rather than after (a refusal's box
    // during the pass waits, as in any modal loop).
    if (portal_) {
        portal_->Flush(true);
    }
    if (Module() == nullptr || !module_->OpenDisplay()) {
        guiFailed_ = true;
        return nullptr;
    }
    desktop_ = module_->NewDesktop();
    // A tray host that starts later is told about as the platform tells about a new taskbar.
    tray_ = module_->NewTray(
        [this](std::uint32_t command) {
            if (trayOwner_ != 0) {
                PostMessageA(trayOwner_, kWmCommand, command, 0);
            }
        },
        [this] { PostMessageA(kHwndBroadcast, RegisterWindowMessageA("TaskbarCreated"), 0, 0); });
    return desktop_.get();
}

TrayIndicator* LinuxPlatform::Tray() {
    return Gui() != nullptr ? tray_.get() : nullptr;
}

// WM_HOTKEY's lParam holds the modifiers in its low word and the key in its high word.
void LinuxPlatform::OnHotkeyPressed(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                    std::uint32_t key) {
    const auto lParam = static_cast<std::intptr_t>((key << 16) | (modifiers & 0xFFFF));
    Queue(Message{window, kWmHotkey, static_cast<std::uintptr_t>(id), lParam});
}

bool LinuxPlatform::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                   std::uint32_t key) {
    const std::uint32_t error = portal_    ? portal_->Register(window, id, modifiers, key)
                                : hotkeys_ ? hotkeys_->Register(window, id, modifiers, key)
                                           : kErrorInvalidParameter;
    files_.SetLastError(error);
    return error == kErrorSuccess;
}

bool LinuxPlatform::UnregisterHotKey(WindowHandle window, std::int32_t id) {
    constexpr std::uint32_t kErrorHotkeyNotRegistered = 1419;
    const bool unregistered = portal_    ? portal_->Unregister(window, id)
                              : hotkeys_ ? hotkeys_->Unregister(window, id)
                                         : false;
    if (!unregistered) {
        files_.SetLastError(kErrorHotkeyNotRegistered);
        return false;
    }
    return true;
}

}  // namespace pavix
