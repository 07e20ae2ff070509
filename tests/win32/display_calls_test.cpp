// The display-scale calls that newer systems added are found by name (Wine has them all) and
// carry their values both ways; the monitor, font and message-filter calls beside them too.
#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/win32/win32_platform.h"

namespace pavix {
namespace {

TEST(DisplayCallsTest, TheNewerCallsAreFoundAndAnswer) {
    Win32Platform platform;
    EXPECT_EQ(platform.GetSystemMetricsForDpi(kSmCxSmIcon, 144), 24);
    EXPECT_EQ(platform.GetSystemMetricsForDpi(kSmCySmIcon, 192), 32);
    const MonitorHandle monitor = platform.MonitorFromWindow(0, kMonitorDefaultToPrimary);
    ASSERT_NE(monitor, 0u);
    MonitorInfo info;
    ASSERT_TRUE(platform.GetMonitorInfoA(monitor, &info));
    EXPECT_GT(info.rcMonitor.right, info.rcMonitor.left);
    EXPECT_GT(info.rcWork.bottom, info.rcWork.top);
    EXPECT_LE(info.rcWork.bottom, info.rcMonitor.bottom);
    std::uint32_t dpiX = 0;
    std::uint32_t dpiY = 0;
    EXPECT_EQ(platform.GetDpiForMonitor(monitor, kMdtEffectiveDpi, &dpiX, &dpiY), 0);
    EXPECT_GE(dpiY, 96u);

    const WindowHandle window = platform.CreateWindowExA(
        0, "STATIC", "", 0, 0, 0, 10, 10, 0, 0, platform.GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, 0u);
    EXPECT_GE(platform.GetDpiForWindow(window), 96u);
    const std::uint32_t taskbarCreated = platform.RegisterWindowMessageA("TaskbarCreated");
    EXPECT_TRUE(platform.ChangeWindowMessageFilterEx(window, taskbarCreated, kMsgfltAllow));
    EXPECT_TRUE(platform.ChangeWindowMessageFilter(taskbarCreated, kMsgfltAdd));
    platform.DestroyWindow(window);
}

TEST(DisplayCallsTest, FontsAreReadAndMadeThroughThePortableRecord) {
    Win32Platform platform;
    LogFont stock;
    ASSERT_EQ(
        platform.GetObjectA(platform.GetStockObject(kDefaultGuiFont), sizeof(LogFont), &stock),
        static_cast<std::int32_t>(sizeof(LogFont)));
    EXPECT_LT(stock.height, 0);
    EXPECT_NE(stock.faceName[0], '\0');
    LogFont larger = stock;
    larger.height = stock.height * 3 / 2;
    const GdiObject made = platform.CreateFontIndirectA(&larger);
    ASSERT_NE(made, 0u);
    LogFont back;
    ASSERT_EQ(platform.GetObjectA(made, sizeof(LogFont), &back),
              static_cast<std::int32_t>(sizeof(LogFont)));
    EXPECT_EQ(back.height, larger.height);
    EXPECT_STREQ(back.faceName, stock.faceName);
    EXPECT_TRUE(platform.DeleteObject(made));
    const DeviceContext screen = platform.GetDC(0);
    EXPECT_GE(platform.GetDeviceCaps(screen, kLogPixelsY), 96);
    platform.ReleaseDC(0, screen);
}

}  // namespace
}  // namespace pavix
