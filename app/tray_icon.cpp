#include "app/tray_icon.h"

#include <cstring>

#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {
namespace {

constexpr const char* kTooltip = "Pavix";

NotifyIconData Record(WindowHandle window) {
    NotifyIconData data;
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = window;
    data.uID = kTrayIconUid;
    return data;
}

}  // namespace

bool TrayIcon::AddTrayIcon(WindowHandle window, TrayIconId id) {
    return Notify(kNimAdd, window, id);
}

bool TrayIcon::UpdateTrayIcon(WindowHandle window, TrayIconId id) {
    return Notify(kNimModify, window, id);
}

void TrayIcon::RemoveTrayIcon(WindowHandle window) {
    const NotifyIconData data = Record(window);
    platform_.Shell_NotifyIconA(kNimDelete, &data);
}

bool TrayIcon::Notify(std::uint32_t message, WindowHandle window, TrayIconId id) {
    const WindowHandle taskbar = platform_.FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar == 0) {
        ShowErrorText(platform_, ids::kTextNoTaskTray);
        return false;
    }
    if (platform_.FindWindowExA(taskbar, 0, "TrayNotifyWnd", nullptr) == 0) {
        ShowErrorText(platform_, ids::kTextNoNotificationArea);
        return false;
    }
    NotifyIconData data = Record(window);
    data.uFlags = kNifMessage | kNifIcon | kNifTip;
    data.uCallbackMessage = kTrayCallbackMessage;
    const std::int32_t width = platform_.GetSystemMetrics(kSmCxSmIcon);
    const std::int32_t height = platform_.GetSystemMetrics(kSmCySmIcon);
    data.hIcon = platform_.LoadImageA(instance_, id, kImageIcon, width, height, 0);
    std::strncpy(data.szTip, kTooltip, sizeof(data.szTip) - 1);
    const bool accepted = platform_.Shell_NotifyIconA(message, &data);
    // The shell keeps its own copy of the picture.
    if (data.hIcon != 0) {
        platform_.DestroyIcon(data.hIcon);
    }
    if (!accepted) {
        ShowErrorText(platform_, ids::kTextTrayIconFailed);
    }
    return accepted;
}

std::intptr_t TrayIcon::OnTrayNotify(WindowHandle window, TrayIconId current, bool hintsOn,
                                     std::uint32_t mouseMessage) {
    if (mouseMessage == kWmRButtonDown) {
        ShowMenu(window, current, hintsOn);
    }
    return 0;
}

void TrayIcon::ShowMenu(WindowHandle window, TrayIconId current, bool hintsOn) {
    Point cursor;
    platform_.GetCursorPos(&cursor);
    const MenuHandle menu = platform_.LoadMenuA(instance_, kTrayMenuId);
    const MenuHandle popup = platform_.GetSubMenu(menu, 0);
    auto enableIf = [&](std::uint32_t command, bool enabled) {
        platform_.EnableMenuItem(popup, command, kMfByCommand | (enabled ? kMfEnabled : kMfGrayed));
    };
    enableIf(kCommandEnable, current == kDisabled);
    enableIf(kCommandDisable, current != kDisabled);
    enableIf(kCommandAbort, current == kSeeking);
    platform_.CheckMenuItem(popup, kCommandShowHints,
                            kMfByCommand | (hintsOn ? kMfChecked : kMfUnchecked));
    platform_.SetForegroundWindow(window);
    platform_.TrackPopupMenu(popup, kTpmRightButton, cursor.x, cursor.y, 0, window, nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    platform_.PostMessageA(window, kWmNull, 0, 0);
    platform_.DestroyMenu(menu);
}

}  // namespace pavix
