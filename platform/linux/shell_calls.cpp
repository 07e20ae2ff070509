// The tray item and its menu, the pictures, the screen and the measuring of text.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/desktop/tray_indicator.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/locations.h"

namespace pavix {
namespace {

constexpr GdiObject kDesktopFont = 1;
constexpr DeviceContext kScreenContext = 1;
constexpr std::int32_t kSmallIcon = 16;
constexpr std::int32_t kLargeIcon = 32;
constexpr std::int32_t kScrollBarWidth = 16;
constexpr const char* kTitle = "Pavix";

}  // namespace

WindowHandle LinuxPlatform::FindWindowA(const char* className, const char*) {
    if (className != nullptr && std::strcmp(className, "Shell_TrayWnd") == 0) {
        return Tray() != nullptr && Tray()->HasSessionBus() ? kTaskbarHandle : 0;
    }
    for (const auto& [handle, entry] : windows_) {
        if (className != nullptr && entry.className == className) {
            return handle;
        }
    }
    return 0;
}

// Of the dialog class only the file dialogs that run are found, in the order they opened; the
// dialog host's own dialogs are not looked for.
WindowHandle LinuxPlatform::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                          const char* className, const char*) {
    if (parent == 0 && className != nullptr && std::strcmp(className, kDialogClass) == 0) {
        const auto next = fileDialogs_.upper_bound(childAfter);
        return next != fileDialogs_.end() ? next->first : 0;
    }
    const bool trayArea = className != nullptr && std::strcmp(className, "TrayNotifyWnd") == 0;
    return parent == kTaskbarHandle && trayArea && Tray() != nullptr && Tray()->HasWatcher()
               ? kTrayAreaHandle
               : 0;
}

std::int32_t LinuxPlatform::GetSystemMetrics(std::int32_t index) {
    const Rect screen = Gui() != nullptr ? Gui()->Screen() : Rect{};
    switch (index) {
        case kSmCxScreen:
            return screen.right - screen.left;
        case kSmCyScreen:
            return screen.bottom - screen.top;
        case kSmCxSmIcon:
        case kSmCySmIcon:
            return kSmallIcon;
        case kSmCxIcon:
        case kSmCyIcon:
            return kLargeIcon;
        case kSmCxVScroll:
            return kScrollBarWidth;
        default:
            return 0;
    }
}

bool LinuxPlatform::SystemParametersInfoA(std::uint32_t action, std::uint32_t, void* data,
                                          std::uint32_t) {
    if (action != kSpiGetWorkArea || data == nullptr || Gui() == nullptr) {
        return false;
    }
    *static_cast<Rect*>(data) = Gui()->WorkArea();
    return true;
}

bool LinuxPlatform::GetCursorPos(Point* point) {
    if (Gui() == nullptr) {
        return false;
    }
    *point = Gui()->Pointer();
    return true;
}

// Only a file dialog's owner is known.
WindowHandle LinuxPlatform::GetWindow(WindowHandle window, std::uint32_t command) {
    const auto fileDialog = fileDialogs_.find(window);
    return command == kGwOwner && fileDialog != fileDialogs_.end() ? fileDialog->second.owner : 0;
}

bool LinuxPlatform::SetForegroundWindow(WindowHandle window) {
    if (dialogHost_ && dialogHost_->Present(window)) {
        return true;
    }
    return windows_.count(window) != 0;
}

bool LinuxPlatform::MessageBeep(std::uint32_t) {
    if (Gui() == nullptr) {
        return false;
    }
    Gui()->Beep();
    return true;
}

GdiObject LinuxPlatform::GetStockObject(std::int32_t) {
    return kDesktopFont;
}

DeviceContext LinuxPlatform::GetDC(WindowHandle) {
    return kScreenContext;
}

std::int32_t LinuxPlatform::ReleaseDC(WindowHandle, DeviceContext context) {
    return context == kScreenContext ? 1 : 0;
}

GdiObject LinuxPlatform::SelectObject(DeviceContext context, GdiObject) {
    return context == kScreenContext ? kDesktopFont : 0;
}

bool LinuxPlatform::GetTextExtentPoint32A(DeviceContext context, const char* text,
                                          std::int32_t length, Size* size) {
    if (context != kScreenContext || length < 0 || Gui() == nullptr) {
        return false;
    }
    *size = Gui()->Measure(std::string(text, static_cast<std::size_t>(length)));
    return true;
}

// The tray host takes pictures by name from a folder: each icon is a PNG there, converted once
// from the .ico beside the executable.
std::string LinuxPlatform::IconFile(std::uint32_t iconId) {
    const auto named = resources_.iconNames.find(iconId);
    if (named == resources_.iconNames.end()) {
        return "";
    }
    const std::string name = "pavix-" + named->second;
    const std::string target = places_.runtimeFolder + "/" + name + ".png";
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        return name;
    }
    const std::string source = places_.programFolder + "/icons/" + named->second + ".ico";
    if (Module() == nullptr) {
        return "";
    }
    CreateFolders(places_.runtimeFolder, 0700);
    const std::string partial = target + ".partial";
    const bool saved = module_->SavePictureAsPng(source, partial) &&
                       std::rename(partial.c_str(), target.c_str()) == 0;
    return saved ? name : "";
}

IconHandle LinuxPlatform::LoadImageA(ModuleHandle, std::uint32_t resourceId, std::uint32_t type,
                                     std::int32_t, std::int32_t, std::uint32_t) {
    if (type != kImageIcon || IconFile(resourceId).empty()) {
        files_.SetLastError(kErrorFileNotFound);
        return 0;
    }
    const IconHandle icon = nextHandle_;
    nextHandle_ += 4;
    icons_[icon] = resourceId;
    return icon;
}

bool LinuxPlatform::DestroyIcon(IconHandle icon) {
    return icons_.erase(icon) != 0;
}

bool LinuxPlatform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData* data) {
    if (message == kNimDelete) {
        if (tray_) {
            tray_->Hide();
        }
        trayOwner_ = 0;
        return true;
    }
    if ((message != kNimAdd && message != kNimModify) || Tray() == nullptr ||
        !Tray()->HasSessionBus()) {
        return false;
    }
    trayOwner_ = data->hWnd;
    trayUid_ = data->uID;
    if ((data->uFlags & kNifMessage) != 0) {
        trayMessage_ = data->uCallbackMessage;
    }
    if ((data->uFlags & kNifIcon) != 0) {
        const auto icon = icons_.find(data->hIcon);
        const std::string name = icon != icons_.end() ? IconFile(icon->second) : "";
        if (name.empty()) {
            return false;
        }
        const std::string tip(data->szTip, strnlen(data->szTip, sizeof data->szTip));
        Tray()->Show(places_.runtimeFolder, name, tip.empty() ? kTitle : tip);
    }
    RefreshTrayMenu();
    return true;
}

// A second start: with no tray to show the icon, the menu that a right click on it would open
// comes as a window; with one, nothing happens, as on Windows.
void LinuxPlatform::OnCalled() {
    if (resources_.trayMessage == 0 || Tray() == nullptr || Tray()->HasWatcher()) {
        return;
    }
    choicesWanted_ = true;
    PostMessageA(kHwndBroadcast, resources_.trayMessage, 0, kWmRButtonDown);
}

void LinuxPlatform::RefreshTrayMenu() {
    if (trayOwner_ != 0 && trayMessage_ != 0) {
        Queue(Message{trayOwner_, trayMessage_, trayUid_, kWmRButtonDown});
    }
}

MenuHandle LinuxPlatform::LoadMenuA(ModuleHandle, std::uint32_t resourceId) {
    if (resourceId != resources_.menuId) {
        files_.SetLastError(kErrorInvalidParameter);
        return 0;
    }
    MenuEntry popup;
    for (const std::uint32_t command : resources_.menuCommands) {
        MenuItem item;
        item.id = command;
        item.text = MenuText(command);
        item.grayed = resources_.unavailableCommands.count(command) != 0;
        popup.items.push_back(item);
    }
    const MenuHandle popupHandle = nextHandle_;
    const MenuHandle bar = nextHandle_ + 4;
    nextHandle_ += 8;
    menus_[popupHandle] = popup;
    menus_[bar] = MenuEntry{{}, popupHandle};
    return bar;
}

MenuHandle LinuxPlatform::GetSubMenu(MenuHandle menu, std::int32_t position) {
    const auto found = menus_.find(menu);
    return found != menus_.end() && position == 0 ? found->second.popup : 0;
}

std::int32_t LinuxPlatform::EnableMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t flags) {
    const auto found = menus_.find(menu);
    if (found == menus_.end()) {
        return -1;
    }
    for (MenuItem& item : found->second.items) {
        if (item.id == id) {
            const std::int32_t previous = item.grayed ? kMfGrayed : kMfEnabled;
            item.grayed = (flags & kMfGrayed) != 0 || resources_.unavailableCommands.count(id) != 0;
            return previous;
        }
    }
    return -1;
}

std::uint32_t LinuxPlatform::CheckMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t check) {
    const auto found = menus_.find(menu);
    if (found == menus_.end()) {
        return 0xFFFFFFFFu;
    }
    for (MenuItem& item : found->second.items) {
        if (item.id == id) {
            const std::uint32_t previous = item.checked ? kMfChecked : kMfUnchecked;
            item.checked = (check & kMfChecked) != 0;
            item.checkable = true;
            return previous;
        }
    }
    return 0xFFFFFFFFu;
}

std::int32_t LinuxPlatform::TrackPopupMenu(MenuHandle menu, std::uint32_t, std::int32_t,
                                           std::int32_t, std::int32_t, WindowHandle owner,
                                           const void*) {
    const auto found = menus_.find(menu);
    if (found == menus_.end() || Tray() == nullptr) {
        return 0;
    }
    std::vector<TrayIndicator::Item> items;
    for (const MenuItem& item : found->second.items) {
        items.push_back({item.id, item.text, item.grayed, item.checkable, item.checked});
    }
    trayOwner_ = owner;
    Tray()->SetMenu(items);
    if (choicesWanted_) {
        choicesWanted_ = false;
        Tray()->ShowChoices(items);
    }
    return 1;
}

bool LinuxPlatform::DestroyMenu(MenuHandle menu) {
    const auto found = menus_.find(menu);
    if (found == menus_.end()) {
        return false;
    }
    menus_.erase(found->second.popup);
    menus_.erase(menu);
    return true;
}

}  // namespace pavix
