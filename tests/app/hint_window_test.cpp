// The hint window at the display scales people run: everything it sizes itself follows the DPI
// of the monitor that holds the notification area, and no row is cut short.
#include "app/hint_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake/fake_platform.h"

namespace pavix {
namespace {

using fake::FakePlatform;
using fake::FakeWindow;

constexpr WindowHandle kOwner = FakePlatform::kMainWindow;

struct ScaleCase {
    std::uint32_t dpi;        // the monitor's
    std::uint32_t systemDpi;  // the one the stock fonts are made for
};

class HintWindowScaleTest : public ::testing::TestWithParam<ScaleCase> {
  protected:
    HintWindowScaleTest() {
        platform.dpi = GetParam().dpi;
        platform.systemDpi = GetParam().systemDpi;
    }
    // A taskbar along the bottom of the monitor, which its work area leaves out.
    void OnMonitor(const Rect& monitor) {
        platform.monitorRect = monitor;
        platform.workArea = Rect{monitor.left, monitor.top, monitor.right, monitor.bottom - 40};
        platform.notificationAreaRect =
            Rect{monitor.right - 200, monitor.bottom - 40, monitor.right, monitor.bottom};
    }
    const FakeWindow& Popup() const { return platform.createdWindows.at(hints.Window()); }
    std::vector<FakeWindow> Labels() const {
        std::vector<FakeWindow> labels;
        for (WindowHandle label : platform.ChildrenOf(hints.Window())) {
            labels.push_back(platform.createdWindows.at(label));
        }
        return labels;
    }
    std::int32_t Scaled(std::int32_t pixels) const {
        return pixels * static_cast<std::int32_t>(GetParam().dpi) / 96;
    }

    FakePlatform platform;
    HintWindow hints{platform, FakePlatform::kInstance};
    const std::vector<HintRow> rows{{"[C][A]+D", "(1 sequence)"},
                                    {"[C][A]+Shift+E", "a sequence with a long name"},
                                    {"", "\x85 and 2 more"}};
};

TEST_P(HintWindowScaleTest, FontRowsMarginsAndPlaceFollowTheMonitor) {
    OnMonitor(Rect{0, 0, 1920, 1080});
    hints.Show(kOwner, rows);
    ASSERT_NE(hints.Window(), 0u);
    const Rect& popup = Popup().rect;
    const std::int32_t width = popup.right - popup.left;
    const std::int32_t height = popup.bottom - popup.top;
    const std::int32_t margin = Scaled(6);
    const std::int32_t lineHeight = platform.TextExtent(Labels()[0].font, "x").cy;
    // The font is the dialog font at the monitor's scale, whatever the system's is.
    EXPECT_NEAR(lineHeight, Scaled(FakePlatform::kLineHeight), 1);
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    for (const FakeWindow& label : Labels()) {
        const Size text = platform.TextExtent(label.font, label.text);
        EXPECT_GE(label.rect.right - label.rect.left, text.cx) << label.text;
        EXPECT_EQ(label.rect.bottom - label.rect.top, text.cy) << label.text;
        EXPECT_GE(label.rect.left, margin) << label.text;
        EXPECT_EQ(label.font, Labels()[0].font);
        right = std::max(right, label.rect.right);
        bottom = std::max(bottom, label.rect.bottom);
    }
    EXPECT_EQ(width, right + margin + 2);
    EXPECT_EQ(height, bottom + margin + 2);
    // Clear of the notification area and the work area's edge by the scaled gap.
    EXPECT_EQ(popup.right, 1920 - Scaled(8));
    EXPECT_EQ(popup.bottom, 1040 - Scaled(8));
    hints.Hide();
    EXPECT_EQ(platform.LiveFonts(), 0);
}

// The monitor that holds the notification area need not be the main one; its work area is the
// one that counts.
TEST_P(HintWindowScaleTest, ShownOnTheMonitorOfTheNotificationArea) {
    OnMonitor(Rect{1920, -200, 3200, 824});
    platform.Script("SystemParametersInfoA", 0);
    hints.Show(kOwner, rows);
    EXPECT_EQ(Popup().rect.right, 3200 - Scaled(8));
    EXPECT_EQ(Popup().rect.bottom, 784 - Scaled(8));
}

// Before Windows 8.1 no call tells a monitor's DPI, and before Windows 10 none gives system
// metrics for a DPI: everything is drawn at the system's scale, with the stock font as it is.
TEST_P(HintWindowScaleTest, WithoutTheNewerCallsTheSystemScaleHolds) {
    OnMonitor(Rect{0, 0, 1920, 1080});
    platform.Script("GetDpiForMonitor", 0x80070057);
    platform.Script("GetMonitorInfoA", 0);
    hints.Show(kOwner, rows);
    const FakeWindow first = Labels().at(0);
    EXPECT_EQ(first.font, platform.GetStockObject(kDefaultGuiFont));
    EXPECT_EQ(first.rect.left, GetParam().systemDpi * 6 / 96);
    EXPECT_TRUE(platform.CallsNamed("CreateFontIndirectA").empty());
    EXPECT_EQ(Popup().rect.bottom, 1040 - static_cast<std::int32_t>(GetParam().systemDpi) / 12);
}

INSTANTIATE_TEST_SUITE_P(Dpi, HintWindowScaleTest,
                         ::testing::Values(ScaleCase{96, 96}, ScaleCase{144, 96},
                                           ScaleCase{192, 96}, ScaleCase{144, 144},
                                           ScaleCase{192, 144}),
                         [](const ::testing::TestParamInfo<ScaleCase>& info) {
                             return "At" + std::to_string(info.param.dpi) + "System" +
                                    std::to_string(info.param.systemDpi);
                         });

}  // namespace
}  // namespace pavix
