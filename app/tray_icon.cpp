#include "app/tray_icon.h"

#include <cstring>

#include "resources/display_scale.h"
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

void TrayIcon::AcceptShellRestarts(WindowHandle window, std::uint32_t taskbarCreated) {
    if (taskbarCreated == 0) {
        return;
    }
    // Only Windows 7 and later can let it through to one window; Vista lets it through to the
    // whole process, and older systems filter nothing.
    if (!platform_.ChangeWindowMessageFilterEx(window, taskbarCreated, kMsgfltAllow)) {
        platform_.ChangeWindowMessageFilter(taskbarCreated, kMsgfltAdd);
    }
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
    const WindowHandle area = platform_.FindWindowExA(taskbar, 0, "TrayNotifyWnd", nullptr);
    if (area == 0) {
        ShowErrorText(platform_, ids::kTextNoNotificationArea);
        return false;
    }
    NotifyIconData data = Record(window);
    data.uFlags = kNifMessage | kNifIcon | kNifTip;
    data.uCallbackMessage = kTrayCallbackMessage;
    // The picture drawn for the scale of the notification area's monitor, which the shell would
    // otherwise stretch from another size.
    const std::uint32_t dpi =
        MonitorDpi(platform_, platform_.MonitorFromWindow(area, kMonitorDefaultToPrimary));
    const std::int32_t width = SystemMetricForDpi(platform_, kSmCxSmIcon, dpi);
    const std::int32_t height = SystemMetricForDpi(platform_, kSmCySmIcon, dpi);
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
    platform_.CheckMenuItem(popup, kCommandStartAtLogin,
                            kMfByCommand | (loginStart_.Enabled() ? kMfChecked : kMfUnchecked));
    platform_.SetForegroundWindow(window);
    platform_.TrackPopupMenu(popup, kTpmRightButton, cursor.x, cursor.y, 0, window, nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    platform_.PostMessageA(window, kWmNull, 0, 0);
    platform_.DestroyMenu(menu);
}

}  // namespace pavix
