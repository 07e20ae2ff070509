#include "app/tray_icon.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_platform.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;

constexpr WindowHandle kWindow = 0x1234;
constexpr ModuleHandle kInstance = FakePlatform::kInstance;

Call Notify(std::uint32_t message, TrayIconId id) {
    return Call("Shell_NotifyIconA", message, kNotifyIconDataSize, kWindow, 1, 7, 0x8001,
                0x3000 + id, "Pavix");
}

class TrayIconTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    TrayIcon tray{platform, kInstance};
};

TEST_F(TrayIconTest, AddLooksUpTheTaskbarThenSendsTheWholeRecord) {
    EXPECT_TRUE(tray.AddTrayIcon(kWindow, kIdle));
    EXPECT_EQ(platform.calls,
              (Calls{Call("FindWindowA", "Shell_TrayWnd", nullptr),
                     Call("FindWindowExA", 0x2000, 0, "TrayNotifyWnd", nullptr),
                     Call("MonitorFromWindow", 0x2001, 1),
                     Call("GetDpiForMonitor", FakePlatform::kMonitor, 0),
                     Call("GetSystemMetricsForDpi", 49, 96), Call("GetSystemMetricsForDpi", 50, 96),
                     Call("LoadImageA", kInstance, 110, 1, 16, 16, 0), Notify(0, kIdle),
                     Call("DestroyIcon", 0x3000 + 110)}));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(TrayIconTest, UpdateModifiesWithThePictureOfTheState) {
    tray.AddTrayIcon(kWindow, kIdle);
    for (TrayIconId id : {kSeeking, kDisabled, kIdle}) {
        platform.calls.clear();
        EXPECT_TRUE(tray.UpdateTrayIcon(kWindow, id));
        EXPECT_EQ(platform.CallsNamed("Shell_NotifyIconA"), (Calls{Notify(1, id)}));
        EXPECT_EQ(platform.trayIcons.at(1).hIcon, 0x3000u + id);
    }
}

TEST_F(TrayIconTest, RemoveSendsOnlyTheIdentity) {
    tray.RemoveTrayIcon(kWindow);
    EXPECT_EQ(platform.calls,
              (Calls{Call("Shell_NotifyIconA", 2, kNotifyIconDataSize, kWindow, 1, 0, 0, 0, "")}));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(TrayIconTest, MissingShellPartsAreReportedEveryTimeWithoutCallingTheShell) {
    struct Case {
        WindowHandle taskbar, area;
        const char* text;
    };
    for (Case c : {Case{0, 0x2001, "Failed to detect Task Tray"},
                   Case{0x2000, 0, "Failed to detect Notification Area window"}}) {
        FakePlatform local;
        local.taskbar = c.taskbar;
        local.notificationArea = c.area;
        TrayIcon icon(local, kInstance);
        EXPECT_FALSE(icon.AddTrayIcon(kWindow, kIdle));
        EXPECT_FALSE(icon.UpdateTrayIcon(kWindow, kSeeking));
        ASSERT_EQ(local.messageBoxes.size(), 2u);
        EXPECT_EQ(local.messageBoxes[1], (fake::MessageBox{c.text, "Pavix:Error", 0x10}));
        EXPECT_TRUE(local.CallsNamed({"Shell_NotifyIconA", "LoadImageA"}).empty());
    }
}

// The picture is loaded at the small-icon size of the notification area's monitor: 16, 20, 24
// and 32 pixels at 100, 125, 150 and 200 %; without the calls of newer systems, at the system's.
TEST_F(TrayIconTest, PictureIsLoadedForTheScaleOfTheNotificationArea) {
    struct Case {
        std::uint32_t dpi, systemDpi;
        bool newerCalls;
        std::int32_t size;
    };
    for (Case c : {Case{120, 96, true, 20}, Case{144, 96, true, 24}, Case{192, 144, true, 32},
                   Case{192, 144, false, 24}, Case{96, 120, false, 20}}) {
        FakePlatform local;
        local.dpi = c.dpi;
        local.systemDpi = c.systemDpi;
        if (!c.newerCalls) {
            local.Script("GetDpiForMonitor", 0x80070057);
            local.Script("GetSystemMetricsForDpi", 0, kErrorProcNotFound);
        }
        TrayIcon icon(local, kInstance);
        EXPECT_TRUE(icon.AddTrayIcon(kWindow, kSeeking));
        EXPECT_EQ(local.CallsNamed("LoadImageA"),
                  (Calls{Call("LoadImageA", kInstance, 111, 1, c.size, c.size, 0)}))
            << c.dpi << " " << c.systemDpi;
    }
}

// An elevated Pavix must still hear the shell's restart; Vista has only the process-wide form
// of the call, and older systems need neither.
TEST_F(TrayIconTest, TheShellsRestartIsLetThroughTheMessageFilter) {
    tray.AcceptShellRestarts(kWindow, 0xC123);
    EXPECT_EQ(platform.calls, (Calls{Call("ChangeWindowMessageFilterEx", kWindow, 0xC123, 1)}));
    platform.calls.clear();
    platform.Script("ChangeWindowMessageFilterEx", 0, kErrorProcNotFound);
    tray.AcceptShellRestarts(kWindow, 0xC123);
    EXPECT_EQ(platform.calls, (Calls{Call("ChangeWindowMessageFilterEx", kWindow, 0xC123, 1),
                                     Call("ChangeWindowMessageFilter", 0xC123, 1)}));
    platform.calls.clear();
    tray.AcceptShellRestarts(kWindow, 0);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(TrayIconTest, RefusedIconIsReported) {
    platform.Script("Shell_NotifyIconA", 0);
    EXPECT_FALSE(tray.AddTrayIcon(kWindow, kIdle));
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, "Failed to register task tray icon");
}

struct MenuCase {
    const char* name;
    TrayIconId state;
    std::uint32_t enable, disable, abort;  // MF_ENABLED 0 or MF_GRAYED 1
    bool hintsOn;                          // "Show Hints" checked (MF_CHECKED 8) or not
};

class TrayMenuTest : public TrayIconTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(TrayMenuTest, RightButtonOpensTheMenuWithItemsForTheState) {
    const MenuCase& c = GetParam();
    EXPECT_EQ(tray.OnTrayNotify(kWindow, c.state, c.hintsOn, 0x204), 0);
    const MenuHandle menu = 0x4000 + 103;
    const MenuHandle popup = menu + 0x100;
    // Start at Login's tick comes from the Startup folder (login_start_test.cpp).
    EXPECT_EQ(platform.CallsNamed({"GetCursorPos", "LoadMenuA", "GetSubMenu", "EnableMenuItem",
                                   "CheckMenuItem", "SetForegroundWindow", "TrackPopupMenu",
                                   "PostMessageA", "DestroyMenu"}),
              (Calls{Call("GetCursorPos"), Call("LoadMenuA", kInstance, 103),
                     Call("GetSubMenu", menu, 0), Call("EnableMenuItem", popup, 40003, c.enable),
                     Call("EnableMenuItem", popup, 40004, c.disable),
                     Call("EnableMenuItem", popup, 40005, c.abort),
                     Call("CheckMenuItem", popup, 40007, c.hintsOn ? 8 : 0),
                     Call("CheckMenuItem", popup, 40009, 0), Call("SetForegroundWindow", kWindow),
                     Call("TrackPopupMenu", popup, 2, 100, 200, 0, kWindow, 0),
                     Call("PostMessageA", kWindow, 0, 0, 0), Call("DestroyMenu", menu)}));
}

INSTANTIATE_TEST_SUITE_P(States, TrayMenuTest,
                         ::testing::Values(MenuCase{"Idle", kIdle, 1, 0, 1, true},
                                           MenuCase{"Seeking", kSeeking, 1, 0, 0, false},
                                           MenuCase{"Disabled", kDisabled, 0, 1, 1, true}),
                         [](const ::testing::TestParamInfo<MenuCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(TrayIconTest, OtherMouseEventsDoNothing) {
    for (std::uint32_t mouse : {0x201u, 0x203u, 0x205u, 0x200u}) {
        EXPECT_EQ(tray.OnTrayNotify(kWindow, kIdle, true, mouse), 0);
    }
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(TrayIconTest, ClosingTheMenuWithoutAChoicePostsNoCommand) {
    tray.OnTrayNotify(kWindow, kIdle, true, 0x204);
    EXPECT_TRUE(platform.queue.empty());
    platform.menuChoice = 40001;
    tray.OnTrayNotify(kWindow, kIdle, true, 0x204);
    ASSERT_EQ(platform.queue.size(), 1u);
    EXPECT_EQ(platform.queue.front().message, 0x111u);
    EXPECT_EQ(platform.queue.front().wParam, 40001u);
}

}  // namespace
}  // namespace pavix
