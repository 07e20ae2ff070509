// Windows created by the backend reach their portable handlers, and the message loop, timers
// and hotkeys carry their values both ways.
#include <gtest/gtest.h>

#include <vector>

#include "platform/constants.h"
#include "platform/dialog_api.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {
namespace {

constexpr std::uint32_t kAnswered = kWmApp + 3;
constexpr std::intptr_t kAnswer = 1234;

class RecordingWindow : public WindowHandler {
  public:
    explicit RecordingWindow(Platform& platform) : platform_(platform) {}
    std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
        seen.push_back({window, message, wParam, lParam});
        if (message == kAnswered) {
            return kAnswer;
        }
        return platform_.DefWindowProcA(window, message, wParam, lParam);
    }
    std::vector<Message> seen;

  private:
    Platform& platform_;
};

class WindowCallsTest : public testing::Test {
  protected:
    void SetUp() override {
        instance = platform.GetModuleHandleA(nullptr);
        // A class stays registered for the rest of the process; the later tests reuse it.
        platform.RegisterClassExA({"PavixTestWindow", instance, kIdcArrow});
    }
    WindowHandle Create(WindowHandler* handler) {
        return platform.CreateWindowExA(0, "PavixTestWindow", "Pavix", kWsOverlappedWindow,
                                        kCwUseDefault, kCwUseDefault, kCwUseDefault, kCwUseDefault,
                                        0, 0, instance, handler);
    }
    Win32Platform platform;
    ModuleHandle instance = 0;
    RecordingWindow handler{platform};
};

TEST_F(WindowCallsTest, HandlerSeesCreationFromNcCreateOnWithTheReturnedHandle) {
    const WindowHandle window = Create(&handler);
    ASSERT_NE(window, 0u);
    ASSERT_GE(handler.seen.size(), 2u);
    EXPECT_EQ(handler.seen[0].message, static_cast<std::uint32_t>(WM_NCCREATE));
    bool created = false;
    for (const Message& message : handler.seen) {
        EXPECT_EQ(message.window, window);
        created = created || message.message == kWmCreate;
    }
    EXPECT_TRUE(created);
    const auto cursor = ::GetClassLongPtrA(win32::Window(window), GCLP_HCURSOR);
    EXPECT_EQ(cursor, reinterpret_cast<LONG_PTR>(::LoadCursorA(nullptr, IDC_ARROW)));
    EXPECT_TRUE(platform.DestroyWindow(window));
}

TEST_F(WindowCallsTest, SentMessagesReachTheHandlerAndItsResultComesBack) {
    const WindowHandle window = Create(&handler);
    EXPECT_EQ(::SendMessageA(win32::Window(window), kAnswered, 7, -9), kAnswer);
    EXPECT_EQ(handler.seen.back().wParam, 7u);
    EXPECT_EQ(handler.seen.back().lParam, -9);
    platform.DestroyWindow(window);
    EXPECT_EQ(handler.seen.back().message, static_cast<std::uint32_t>(WM_NCDESTROY));
}

TEST_F(WindowCallsTest, WindowWithoutHandlerGetsDefaultProcessing) {
    const WindowHandle window = Create(nullptr);
    ASSERT_NE(window, 0u);
    char title[16] = {};
    ::GetWindowTextA(win32::Window(window), title, sizeof(title));
    EXPECT_STREQ(title, "Pavix");
    platform.DestroyWindow(window);
}

TEST_F(WindowCallsTest, MessageLoopCarriesPostedMessagesTimersAndTheQuitCode) {
    const WindowHandle window = Create(&handler);
    ASSERT_TRUE(platform.PostMessageA(window, kAnswered, 5, 6));
    Message message;
    ASSERT_EQ(platform.GetMessageA(&message, 0, kAnswered, kAnswered), 1);
    EXPECT_EQ(message.window, window);
    EXPECT_EQ(message.wParam, 5u);
    EXPECT_EQ(message.lParam, 6);
    platform.TranslateMessage(&message);
    EXPECT_EQ(platform.DispatchMessageA(&message), kAnswer);

    EXPECT_EQ(platform.SetTimer(window, 1701, 1, nullptr), 1701u);
    ASSERT_EQ(platform.GetMessageA(&message, window, kWmTimer, kWmTimer), 1);
    EXPECT_EQ(message.wParam, 1701u);
    EXPECT_TRUE(platform.KillTimer(window, 1701));

    platform.DestroyWindow(window);
    platform.PostQuitMessage(3);
    while (platform.GetMessageA(&message, 0, 0, 0) > 0) {
        platform.DispatchMessageA(&message);
    }
    EXPECT_EQ(message.message, static_cast<std::uint32_t>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
}

// A popup that never takes the focus, with a label in it: shown where it was made, measured and
// destroyed with its label.
TEST_F(WindowCallsTest, NoActivatePopupAndItsLabelAreShownMeasuredAndDestroyed) {
    platform.RegisterClassExA({"PavixTestPopup", instance, 0, kColorBtnFace + 1});
    const WindowHandle popup = platform.CreateWindowExA(
        kWsExNoActivate | kWsExToolWindow | kWsExTopmost, "PavixTestPopup", "popup",
        kWsPopup | kWsBorder, 30, 40, 200, 100, 0, 0, instance, &handler);
    ASSERT_NE(popup, 0u);
    const HWND native = win32::Window(popup);
    EXPECT_EQ(::GetClassLongPtrA(native, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
    const WindowHandle label =
        platform.CreateWindowExA(0, "STATIC", "[C][A]+N", kWsChild | kWsVisible | kSsNoPrefix, 4, 4,
                                 80, 16, popup, 0, instance, nullptr);
    ASSERT_NE(label, 0u);

    Rect rect;
    ASSERT_TRUE(platform.GetWindowRect(popup, &rect));
    EXPECT_EQ((std::vector<std::int32_t>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<std::int32_t>{30, 40, 230, 140}));
    EXPECT_TRUE(::GetWindowLongA(native, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(platform.ShowWindow(popup, kSwShowNoActivate));
    EXPECT_TRUE(::IsWindowVisible(native));
    EXPECT_NE(::GetActiveWindow(), native);

    const GdiObject font = platform.GetStockObject(kDefaultGuiFont);
    ASSERT_NE(font, 0u);
    platform.SendMessageA(label, kWmSetFont, font, 1);
    EXPECT_EQ(::SendMessageA(win32::Window(label), WM_GETFONT, 0, 0), static_cast<LRESULT>(font));
    const DeviceContext context = platform.GetDC(0);
    ASSERT_NE(context, 0u);
    const GdiObject previous = platform.SelectObject(context, font);
    EXPECT_NE(previous, 0u);
    Size shortText, longText;
    ASSERT_TRUE(platform.GetTextExtentPoint32A(context, "ab", 2, &shortText));
    ASSERT_TRUE(platform.GetTextExtentPoint32A(context, "abcdef", 6, &longText));
    EXPECT_GT(shortText.cx, 0);
    EXPECT_GT(shortText.cy, 0);
    EXPECT_GT(longText.cx, shortText.cx);
    EXPECT_EQ(platform.SelectObject(context, previous), font);
    EXPECT_EQ(platform.ReleaseDC(0, context), 1);

    Rect work;
    ASSERT_TRUE(platform.SystemParametersInfoA(kSpiGetWorkArea, 0, &work, 0));
    EXPECT_GT(work.right, work.left);
    EXPECT_GT(work.bottom, work.top);

    EXPECT_TRUE(platform.ShowWindow(popup, kSwHide));
    EXPECT_FALSE(::IsWindowVisible(native));
    EXPECT_TRUE(platform.DestroyWindow(popup));
    EXPECT_FALSE(::IsWindow(win32::Window(label)));
}

TEST_F(WindowCallsTest, SecondRegistrationOfAChordFailsWithHotkeyAlreadyRegistered) {
    const WindowHandle window = Create(&handler);
    const std::uint32_t modifiers = kModControl | kModAlt | kModShift;
    ASSERT_TRUE(platform.RegisterHotKey(window, 1, modifiers, VK_F12));
    EXPECT_FALSE(platform.RegisterHotKey(window, 2, modifiers, VK_F12));
    EXPECT_EQ(platform.GetLastError(), kErrorHotkeyAlreadyRegistered);
    EXPECT_TRUE(platform.UnregisterHotKey(window, 1));
    EXPECT_FALSE(platform.UnregisterHotKey(window, 1));
    platform.DestroyWindow(window);
}

}  // namespace
}  // namespace pavix
