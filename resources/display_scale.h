// The display scale of what Pavix draws and sizes itself. Each answer comes from the newest call
// the system has and falls back on what older systems do: there the program is aware of the
// system's scale alone, so every monitor shows it at the system DPI.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace pavix {

// `pixels` at 96 DPI, at `dpi`, rounded to the nearest pixel.
std::int32_t ScaleToDpi(std::int32_t pixels, std::uint32_t dpi);
// `pixels` at `fromDpi`, at `toDpi`.
std::int32_t ScaleBetween(std::int32_t pixels, std::uint32_t toDpi, std::uint32_t fromDpi);

// The DPI of the screen as a whole; 96 when the platform cannot tell.
std::uint32_t SystemDpi(Platform& platform);
// The DPI that `window` is drawn at.
std::uint32_t WindowDpi(Platform& platform, WindowHandle window);
// The DPI of `monitor` (0 for none: the system DPI).
std::uint32_t MonitorDpi(Platform& platform, MonitorHandle monitor);
// GetSystemMetrics(index) as at `dpi`.
std::int32_t SystemMetricForDpi(Platform& platform, std::int32_t index, std::uint32_t dpi);

}  // namespace pavix
