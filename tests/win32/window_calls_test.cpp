// Windows created by the backend reach their portable handlers, and the message loop, timers
// and hotkeys carry their values both ways.
#include <gtest/gtest.h>

#include <vector>

#include "platform/constants.h"
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
