// The window table, the message queue and the timers.

#include <clocale>

#include <cstdint>
#include <cstring>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop.h"
#include "platform/linux/desktop/dialog_host.h"
#include "platform/linux/desktop/tray_indicator.h"
#include "platform/linux/glib/exit_signals.h"
#include "platform/linux/glib/glib_calls.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/portal/portal_hotkeys.h"
#include "platform/linux/x11/x_hotkeys.h"

namespace pavix {
namespace {

constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;
constexpr const char* kStaticClass = "STATIC";

// The rectangle CreateWindowExA was given. As on Windows, CW_USEDEFAULT in x or width leaves the
// placing to the system; here nothing is placed, so it reads as 0, and no sum overflows.
Rect CreationRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    const std::int32_t left = x == kCwUseDefault ? 0 : x;
    const std::int32_t top = x == kCwUseDefault || y == kCwUseDefault ? 0 : y;
    const std::int32_t wide = width == kCwUseDefault ? 0 : width;
    const std::int32_t high = width == kCwUseDefault || height == kCwUseDefault ? 0 : height;
    const auto sum = [](std::int32_t a, std::int32_t b) {
        const std::int64_t total = static_cast<std::int64_t>(a) + b;
        return static_cast<std::int32_t>(total > INT32_MAX   ? INT32_MAX
                                         : total < INT32_MIN ? INT32_MIN
                                                             : total);
    };
    return Rect{left, top, sum(left, wide), sum(top, high)};
}

struct TimerCall {
    std::function<void()> due;
};

gboolean OnTimeout(gpointer data) {
    static_cast<TimerCall*>(data)->due();
    return G_SOURCE_CONTINUE;
}

void DeleteTimerCall(gpointer data) {
    delete static_cast<TimerCall*>(data);
}

}  // namespace

std::uint32_t LinuxPlatform::RegisterWindowMessageA(const char* name) {
    const auto found = registeredMessages_.find(name);
    if (found != registeredMessages_.end()) {
        return found->second;
    }
    const auto message =
        kFirstRegisteredMessage + static_cast<std::uint32_t>(registeredMessages_.size());
    registeredMessages_[name] = message;
    return message;
}

std::uint16_t LinuxPlatform::RegisterClassExA(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || !classes_.insert(windowClass.className).second) {
        files_.SetLastError(kErrorAlreadyExists);  // ERROR_CLASS_ALREADY_EXISTS's meaning
        return 0;
    }
    return static_cast<std::uint16_t>(classes_.size());
}

WindowHandle LinuxPlatform::CreateWindowExA(std::uint32_t, const char* className,
                                            const char* windowName, std::uint32_t style,
                                            std::int32_t x, std::int32_t y, std::int32_t width,
                                            std::int32_t height, WindowHandle parent,
                                            MenuHandle menu, ModuleHandle, WindowHandler* handler) {
    const bool label = className != nullptr && std::strcmp(className, kStaticClass) == 0;
    if (className == nullptr || (!label && classes_.count(className) == 0)) {
        files_.SetLastError(kErrorInvalidParameter);
        return 0;
    }
    if (OwnedByDialog(parent)) {
        return CreateInDialog(className, windowName, CreationRect(x, y, width, height), parent,
                              static_cast<std::int32_t>(menu), handler);
    }
    WindowEntry entry;
    entry.className = className;
    entry.text = windowName != nullptr ? windowName : "";
    entry.handler = handler;
    entry.parent = parent;
    entry.rect = CreationRect(x, y, width, height);
    if (label) {
        const auto owner = windows_.find(parent);
        if (owner == windows_.end() || owner->second.widget == nullptr || Gui() == nullptr) {
            files_.SetLastError(kErrorInvalidParameter);
            return 0;
        }
        entry.widget = Gui()->CreateLabel(owner->second.widget, entry.text, entry.rect);
    } else if ((style & kWsPopup) != 0 && Gui() != nullptr) {
        entry.widget = Gui()->CreatePopup(entry.text, entry.rect, (style & kWsBorder) != 0);
    }
    const WindowHandle window = nextHandle_;
    nextHandle_ += 4;
    windows_[window] = entry;
    if (handler != nullptr && handler->WindowProc(window, kWmCreate, 0, 0) == -1) {
        DestroyWindow(window);
        return 0;
    }
    if ((style & kWsVisible) != 0 && windows_.count(window) != 0) {
        ShowWindow(window, kSwShow);
    }
    return window;
}

// A window inside a dialog: a child the dialog hosts (its menu argument is its id), or a label
// in one. Its messages and timers reach its handler through the window table as any window's.
WindowHandle LinuxPlatform::CreateInDialog(const char* className, const char* windowName,
                                           const Rect& rect, WindowHandle parent, std::int32_t id,
                                           WindowHandler* handler) {
    const WindowHandle window = nextHandle_;
    const std::string text = windowName != nullptr ? windowName : "";
    const bool made = std::strcmp(className, kStaticClass) == 0
                          ? dialogHost_->AddLabel(parent, window, id, text)
                          : dialogHost_->AddChild(parent, window, id, rect, text, handler);
    if (!made) {
        files_.SetLastError(kErrorInvalidParameter);
        return 0;
    }
    nextHandle_ += 4;
    WindowEntry entry;
    entry.className = className;
    entry.text = text;
    entry.handler = handler;
    entry.parent = parent;
    entry.rect = rect;
    entry.visible = true;
    windows_[window] = entry;
    if (handler != nullptr && handler->WindowProc(window, kWmCreate, 0, 0) == -1) {
        DestroyWindow(window);
        return 0;
    }
    return window;
}

bool LinuxPlatform::DestroyWindow(WindowHandle window) {
    const auto found = windows_.find(window);
    if (found == windows_.end() && OwnedByDialog(window)) {
        return dialogHost_->DestroyItem(window);  // a dialog's control, or a modeless dialog
    }
    if (found == windows_.end()) {
        files_.SetLastError(kErrorInvalidParameter);  // ERROR_INVALID_WINDOW_HANDLE's meaning
        return false;
    }
    // Owned and child windows go first, as the platform destroys them with their owner.
    std::vector<WindowHandle> owned;
    for (const auto& [handle, entry] : windows_) {
        if (entry.parent == window) {
            owned.push_back(handle);
        }
    }
    for (const WindowHandle handle : owned) {
        DestroyWindow(handle);
    }
    if (windows_.count(window) == 0) {
        return true;  // an owned window's handler destroyed this one meanwhile
    }
    WindowHandler* handler = windows_[window].handler;
    if (handler != nullptr) {
        handler->WindowProc(window, kWmDestroy, 0, 0);
    }
    const auto still = windows_.find(window);
    if (still == windows_.end()) {
        return true;
    }
    if (OwnedByDialog(window)) {
        dialogHost_->DestroyItem(window);
    }
    if (still->second.widget != nullptr && still->second.className != kStaticClass) {
        desktop_->Destroy(still->second.widget);  // with its labels
    }
    windows_.erase(still);
    for (auto timer = timers_.begin(); timer != timers_.end();) {
        const auto next = std::next(timer);
        if (timer->first.first == window) {
            KillTimer(window, timer->first.second);
        }
        timer = next;
    }
    if (hotkeys_) {
        hotkeys_->UnregisterWindow(window);
    }
    return true;
}

bool LinuxPlatform::ShowWindow(WindowHandle window, std::int32_t showCommand) {
    if (showCommand != kSwHide && dialogHost_ && dialogHost_->Present(window)) {
        return true;
    }
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        return false;
    }
    const bool wasVisible = found->second.visible;
    found->second.visible = showCommand != kSwHide;
    if (found->second.widget != nullptr) {
        desktop_->Show(found->second.widget, found->second.visible);
    }
    return wasVisible;
}

bool LinuxPlatform::GetWindowRect(WindowHandle window, Rect* rect) {
    if (window == kTrayAreaHandle) {
        const std::optional<Rect> corner =
            Gui() != nullptr ? Gui()->TrayCorner() : std::optional<Rect>();
        if (corner) {
            *rect = *corner;
        }
        return corner.has_value();
    }
    if (OwnedByDialog(window)) {
        return dialogHost_->WindowRect(window, rect);
    }
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        return false;
    }
    *rect = found->second.rect;
    return true;
}

bool LinuxPlatform::GetClientRect(WindowHandle window, Rect* rect) {
    if (OwnedByDialog(window)) {
        return dialogHost_->ClientRect(window, rect);
    }
    Rect outer;
    if (!GetWindowRect(window, &outer)) {
        return false;
    }
    *rect = Rect{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    return true;
}

std::int32_t LinuxPlatform::GetWindowTextLengthA(WindowHandle window) {
    std::string text;
    if (DialogText(window, &text)) {
        return static_cast<std::int32_t>(text.size());
    }
    const auto found = windows_.find(window);
    return found != windows_.end() ? static_cast<std::int32_t>(found->second.text.size()) : 0;
}

std::int32_t LinuxPlatform::GetWindowTextA(WindowHandle window, char* buffer,
                                           std::int32_t maxCount) {
    const auto found = windows_.find(window);
    std::string text;
    if ((found == windows_.end() && !DialogText(window, &text)) || maxCount <= 0) {
        return 0;
    }
    if (found != windows_.end()) {
        text = found->second.text;
    }
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<std::int32_t>(length);
}

std::intptr_t LinuxPlatform::SendMessageA(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
    if (OwnedByDialog(window)) {
        return SendToDialog(window, message, wParam, lParam);
    }
    const auto found = windows_.find(window);
    if (found == windows_.end() || found->second.handler == nullptr) {
        return 0;  // labels take their font from the desktop: WM_SETFONT changes nothing
    }
    return found->second.handler->WindowProc(window, message, wParam, lParam);
}

std::intptr_t LinuxPlatform::DefWindowProcA(WindowHandle window, std::uint32_t message,
                                            std::uintptr_t, std::intptr_t) {
    if (message == kWmClose) {
        DestroyWindow(window);
    }
    return 0;
}

void LinuxPlatform::Queue(const Message& message) {
    queue_.push_back(message);
    WakeLoop();
}

// Before the loop first runs nothing waits in it, and GLib is not opened just to say so.
void LinuxPlatform::WakeLoop() {
    if (loopStarted_) {
        GLib().mainContextWakeup(nullptr);
    }
}

bool LinuxPlatform::PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    if (window == kHwndBroadcast) {
        if (message == kWmSysCommand && wParam == kScScreenSave) {
            return StartScreenSaver();
        }
        for (const auto& [handle, entry] : windows_) {
            if (entry.parent == 0 && entry.handler != nullptr) {
                Queue(Message{handle, message, wParam, lParam});
            }
        }
        return true;
    }
    if (message == kWmSysCommand && wParam == kScTaskList) {
        return true;  // a Linux desktop has no start menu that a program can open
    }
    if (const auto fileDialog = fileDialogs_.find(window); fileDialog != fileDialogs_.end()) {
        const bool cancel = (message == kWmCommand && wParam == kIdCancel) || message == kWmClose;
        fileDialog->second.cancelled = fileDialog->second.cancelled || cancel;
        return true;
    }
    if (window != 0 && windows_.count(window) == 0) {
        files_.SetLastError(kErrorInvalidParameter);
        return false;
    }
    Queue(Message{window, message, wParam, lParam});
    return true;
}

void LinuxPlatform::PostQuitMessage(std::int32_t exitCode) {
    quitPosted_ = true;
    quitCode_ = exitCode;
    WakeLoop();
}

// The user's locale and the main loop's library come when the loop first runs, once the chords
// are grabbed: loading them would delay the grabs, and nothing before needs them (GTK takes the
// locale itself when a box comes first).
void LinuxPlatform::StartLoop() {
    if (!loopStarted_) {
        std::setlocale(LC_ALL, "");
        loopStarted_ = true;
        if (hotkeys_) {
            hotkeys_->Watch();
        }
        if (exitSignals_) {
            // Before any window (a box at start waits) no Exit would be heard: the signal
            // ends the loops at once instead.
            exitSignals_->Watch(
                [this] {
                    if (windows_.empty()) {
                        PostQuitMessage(0);
                    } else {
                        PostMessageA(kHwndBroadcast, kWmCommand, resources_.exitCommand, 0);
                    }
                },
                [this] { OnCalled(); });
        }
    }
}

bool LinuxPlatform::Iterate(bool wait) {
    StartLoop();
    return GLib().mainContextIteration(nullptr, wait) != FALSE;
}

bool LinuxPlatform::NextMessage(Message* message, bool wait) {
    StartLoop();
    while (queue_.empty()) {
        if (quitPosted_) {
            *message = Message{0, kWmQuit, static_cast<std::uintptr_t>(quitCode_), 0};
            return true;
        }
        if (!Iterate(wait) && !wait) {
            return false;
        }
    }
    *message = queue_.front();
    queue_.pop_front();
    if (message->message == kWmTimer) {
        const auto timer = timers_.find({message->window, message->wParam});
        if (timer != timers_.end()) {
            timer->second.queued = false;
        }
    }
    return true;
}

std::int32_t LinuxPlatform::GetMessageA(Message* message, WindowHandle, std::uint32_t,
                                        std::uint32_t) {
    // The main loop asks for a message only once a pass of hotkey calls is done.
    if (portal_) {
        portal_->Flush(false);
    }
    NextMessage(message, true);
    if (message->message == kWmQuit) {
        quitPosted_ = false;
        return 0;
    }
    return 1;
}

bool LinuxPlatform::PeekMessageA(Message* message, WindowHandle, std::uint32_t, std::uint32_t,
                                 std::uint32_t) {
    if (!NextMessage(message, false)) {
        return false;
    }
    if (message->message == kWmQuit) {
        quitPosted_ = false;
    }
    return true;
}

std::uint32_t LinuxPlatform::MsgWaitForMultipleObjectsEx(std::uint32_t count,
                                                         const KernelHandle* handles, std::uint32_t,
                                                         std::uint32_t, std::uint32_t) {
    for (std::uint32_t i = 0; i < count; ++i) {
        if (changes_.count(handles[i]) == 0) {
            files_.SetLastError(kErrorInvalidHandle);
            return kWaitFailed;
        }
    }
    // As GetMessageA: the main loop waits only once a pass of hotkey calls is done.
    if (portal_) {
        portal_->Flush(false);
    }
    StartLoop();
    for (;;) {
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto found = changes_.find(handles[i]);
            if (found != changes_.end() && found->second.signalled) {
                return kWaitObject0 + i;
            }
        }
        if (!queue_.empty() || quitPosted_) {
            return kWaitObject0 + count;
        }
        Iterate(true);
    }
}

std::intptr_t LinuxPlatform::DispatchMessageA(const Message* message) {
    const auto found = windows_.find(message->window);
    if (found == windows_.end() || found->second.handler == nullptr) {
        return 0;
    }
    const std::intptr_t result = found->second.handler->WindowProc(
        message->window, message->message, message->wParam, message->lParam);
    if (message->message == kWmCommand && message->window == trayOwner_) {
        RefreshTrayMenu();  // what the command changed shows in the menu
    }
    return result;
}

void LinuxPlatform::PumpUntil(const bool& done) {
    PumpUntil(done, done);
}

void LinuxPlatform::PumpUntil(const bool& done, const bool& stopped) {
    Message message;
    while (!done && !stopped && !quitPosted_) {
        if (!queue_.empty()) {
            NextMessage(&message, false);
            DispatchMessageA(&message);
        } else {
            if (portal_) {
                portal_->Flush(true);
            }
            Iterate(true);
        }
    }
}

// Windows sends one WM_TIMER at a time however late the queue is read; so does this.
std::uintptr_t LinuxPlatform::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse,
                                       const void*) {
    KillTimer(window, id);
    auto* call = new TimerCall{[this, window, id] {
        TimerEntry& timer = timers_[{window, id}];
        if (!timer.queued) {
            timer.queued = true;
            Queue(Message{window, kWmTimer, id, 0});
        }
    }};
    const guint source = GLib().timeoutAddFull(G_PRIORITY_DEFAULT, elapse > 0 ? elapse : 1,
                                               OnTimeout, call, DeleteTimerCall);
    timers_[{window, id}] = TimerEntry{source, false};
    return id != 0 ? id : 1;
}

bool LinuxPlatform::KillTimer(WindowHandle window, std::uintptr_t id) {
    const auto found = timers_.find({window, id});
    if (found == timers_.end()) {
        return false;
    }
    GLib().sourceRemove(found->second.source);
    timers_.erase(found);
    // A WM_TIMER already queued goes with its timer.
    for (auto queued = queue_.begin(); queued != queue_.end();) {
        const bool expired =
            queued->message == kWmTimer && queued->window == window && queued->wParam == id;
        queued = expired ? queue_.erase(queued) : std::next(queued);
    }
    return true;
}

}  // namespace pavix
