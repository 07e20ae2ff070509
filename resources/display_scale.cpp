#include "resources/display_scale.h"

#include "platform/constants.h"

namespace pavix {
namespace {

// Windows scales displays from 100 % to 500 %; an answer far outside that is taken for none.
constexpr std::uint32_t kLargestDpi = 480;

bool Plausible(std::uint32_t dpi) {
    return dpi >= kStandardDpi / 2 && dpi <= kLargestDpi;
}

}  // namespace

std::int32_t ScaleBetween(std::int32_t pixels, std::uint32_t toDpi, std::uint32_t fromDpi) {
    const std::int64_t product = static_cast<std::int64_t>(pixels) * toDpi;
    const std::int64_t half = fromDpi / 2;
    return static_cast<std::int32_t>((product >= 0 ? product + half : product - half) /
                                     static_cast<std::int64_t>(fromDpi));
}

std::int32_t ScaleToDpi(std::int32_t pixels, std::uint32_t dpi) {
    return ScaleBetween(pixels, dpi, kStandardDpi);
}

std::uint32_t SystemDpi(Platform& platform) {
    const DeviceContext screen = platform.GetDC(0);
    if (screen == 0) {
        return kStandardDpi;
    }
    const auto dpi = static_cast<std::uint32_t>(platform.GetDeviceCaps(screen, kLogPixelsY));
    platform.ReleaseDC(0, screen);
    return Plausible(dpi) ? dpi : kStandardDpi;
}

std::uint32_t WindowDpi(Platform& platform, WindowHandle window) {
    const std::uint32_t dpi = platform.GetDpiForWindow(window);
    return Plausible(dpi) ? dpi : SystemDpi(platform);
}

std::uint32_t MonitorDpi(Platform& platform, MonitorHandle monitor) {
    std::uint32_t dpiX = 0;
    std::uint32_t dpiY = 0;
    if (monitor != 0 && platform.GetDpiForMonitor(monitor, kMdtEffectiveDpi, &dpiX, &dpiY) == 0 &&
        Plausible(dpiY)) {
        return dpiY;
    }
    return SystemDpi(platform);
}

std::int32_t SystemMetricForDpi(Platform& platform, std::int32_t index, std::uint32_t dpi) {
    const std::int32_t metric = platform.GetSystemMetricsForDpi(index, dpi);
    if (metric > 0) {
        return metric;
    }
    // Sized for the system DPI, which is every window's where the call above is missing.
    const std::uint32_t system = SystemDpi(platform);
    return ScaleBetween(platform.GetSystemMetrics(index), dpi, system);
}

}  // namespace pavix
