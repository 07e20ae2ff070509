// The display scale on X11. GTK draws every widget at the desktop's own scale (Xft.dpi and
// GDK_SCALE) and measures text in that scale, so the core sees one monitor at the standard 96 DPI
// and sizes nothing twice. The calls that Windows added later report "not here", as on the
// oldest Windows, and the core falls back on the system's answers. Here too: where the tray most
// likely is, from the screen's areas.
#include "platform/constants.h"
#include "platform/linux/desktop/desktop.h"
#include "platform/linux/linux_platform.h"

namespace pavix {

std::optional<Rect> TrayCornerOf(const Rect& screen, const Rect& work) {
    if (work.top > screen.top) {
        const std::int32_t height = work.top - screen.top;
        return Rect{screen.right - height, screen.top, screen.right, work.top};
    }
    if (work.bottom < screen.bottom) {
        const std::int32_t height = screen.bottom - work.bottom;
        return Rect{screen.right - height, work.bottom, screen.right, screen.bottom};
    }
    return std::nullopt;
}

namespace {

// The one monitor: the core only asks for the work area of the monitor that holds the tray.
constexpr MonitorHandle kTheMonitor = 1;
constexpr std::int32_t kEInvalidArg = static_cast<std::int32_t>(0x80070057);

}  // namespace

MonitorHandle LinuxPlatform::MonitorFromWindow(WindowHandle, std::uint32_t) {
    return kTheMonitor;
}

bool LinuxPlatform::GetMonitorInfoA(MonitorHandle monitor, MonitorInfo* info) {
    if (monitor != kTheMonitor || info == nullptr || Gui() == nullptr) {
        return false;
    }
    info->rcMonitor = Gui()->Screen();
    info->rcWork = Gui()->WorkArea();
    info->dwFlags = 1;  // MONITORINFOF_PRIMARY
    return true;
}

std::uint32_t LinuxPlatform::GetDpiForWindow(WindowHandle) {
    files_.SetLastError(kErrorProcNotFound);
    return 0;
}

std::int32_t LinuxPlatform::GetDpiForMonitor(MonitorHandle, std::uint32_t, std::uint32_t*,
                                             std::uint32_t*) {
    files_.SetLastError(kErrorProcNotFound);
    return kEInvalidArg;
}

// X11 has no message filter: every client may send to every window.
bool LinuxPlatform::ChangeWindowMessageFilterEx(WindowHandle, std::uint32_t, std::uint32_t) {
    return true;
}

bool LinuxPlatform::ChangeWindowMessageFilter(std::uint32_t, std::uint32_t) {
    return true;
}

std::int32_t LinuxPlatform::GetSystemMetricsForDpi(std::int32_t, std::uint32_t) {
    files_.SetLastError(kErrorProcNotFound);
    return 0;
}

std::int32_t LinuxPlatform::GetDeviceCaps(DeviceContext, std::int32_t index) {
    return index == kLogPixelsY ? static_cast<std::int32_t>(kStandardDpi) : 0;
}

// The desktop's font is the only one, and it is not described as a LOGFONT: callers keep it.
std::int32_t LinuxPlatform::GetObjectA(GdiObject, std::int32_t, LogFont*) {
    return 0;
}

GdiObject LinuxPlatform::CreateFontIndirectA(const LogFont*) {
    return 0;
}

bool LinuxPlatform::DeleteObject(GdiObject) {
    return false;
}

}  // namespace pavix
