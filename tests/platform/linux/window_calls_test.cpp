// The window table of the Linux backend without a display: classes, creation, broadcasts and
// the calls that only change where a window is told about them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/constants.h"
#include "platform/linux/linux_platform.h"

namespace pavix {
namespace {

// Answers WM_CREATE with `createResult` and counts what else comes.
class CountingWindow final : public WindowHandler {
  public:
    explicit CountingWindow(std::intptr_t createResult = 0) : createResult_(createResult) {}
    std::intptr_t WindowProc(WindowHandle, std::uint32_t message, std::uintptr_t,
                             std::intptr_t) override {
        messages.push_back(message);
        return message == kWmCreate ? createResult_ : 7;
    }
    std::vector<std::uint32_t> messages;

  private:
    std::intptr_t createResult_;
};

class WindowCallsTest : public ::testing::Test {
  protected:
    WindowCallsTest() : platform_(LinuxResources{}, LinuxPlaces{}) {
        platform_.RegisterClassExA(WindowClass{"Main"});
    }
    WindowHandle Create(CountingWindow& handler, WindowHandle parent = 0, const char* text = "") {
        return platform_.CreateWindowExA(0, "Main", text, 0, 1, 2, 30, 40, parent, 0, 0, &handler);
    }
    // Every message the queue holds now, in order.
    std::vector<Message> Drain() {
        std::vector<Message> drained;
        platform_.PostQuitMessage(0);
        Message message;
        while (platform_.GetMessageA(&message, 0, 0, 0) > 0) {
            drained.push_back(message);
        }
        return drained;
    }

    LinuxPlatform platform_;
};

TEST_F(WindowCallsTest, AClassIsRegisteredOnceAndNeededToCreate) {
    EXPECT_EQ(platform_.RegisterClassExA(WindowClass{"Main"}), 0);
    EXPECT_EQ(platform_.GetLastError(), kErrorAlreadyExists);
    CountingWindow handler;
    EXPECT_EQ(platform_.CreateWindowExA(0, "Other", "", 0, 0, 0, 0, 0, 0, 0, 0, &handler), 0u);
    EXPECT_TRUE(handler.messages.empty());
    // A STATIC label needs a popup to live in.
    EXPECT_EQ(
        platform_.CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, Create(handler), 0, 0, nullptr),
        0u);
}

TEST_F(WindowCallsTest, AWindowRefusingItsCreationIsDestroyed) {
    CountingWindow refusing(-1);
    EXPECT_EQ(Create(refusing), 0u);
    EXPECT_EQ(refusing.messages, (std::vector<std::uint32_t>{kWmCreate, kWmDestroy}));
    EXPECT_EQ(platform_.FindWindowA("Main", nullptr), 0u);
}

TEST_F(WindowCallsTest, WindowsKeepTheirTextPlaceAndMessages) {
    CountingWindow handler;
    const WindowHandle window = Create(handler, 0, "Pavix");
    EXPECT_EQ(platform_.FindWindowA("Main", nullptr), window);
    char text[4] = {};
    EXPECT_EQ(platform_.GetWindowTextLengthA(window), 5);
    EXPECT_EQ(platform_.GetWindowTextA(window, text, sizeof text), 3);
    EXPECT_STREQ(text, "Pav");
    Rect rect;
    ASSERT_TRUE(platform_.GetWindowRect(window, &rect));
    EXPECT_EQ(rect.right, 31);
    ASSERT_TRUE(platform_.GetClientRect(window, &rect));
    EXPECT_EQ(rect.bottom, 40);
    EXPECT_EQ(platform_.SendMessageA(window, kWmApp, 0, 0), 7);
    EXPECT_FALSE(platform_.ShowWindow(window, kSwShow));
    EXPECT_TRUE(platform_.ShowWindow(window, kSwHide));
    platform_.DefWindowProcA(window, kWmClose, 0, 0);
    EXPECT_EQ(handler.messages.back(), kWmDestroy);
    EXPECT_EQ(platform_.FindWindowA("Main", nullptr), 0u);
}

// The main window leaves its place to the system; that must read as an empty place at the origin.
TEST_F(WindowCallsTest, ADefaultPlaceIsEmptyAtTheOrigin) {
    CountingWindow handler;
    const WindowHandle window = platform_.CreateWindowExA(0, "Main", "", 0, kCwUseDefault, 5,
                                                          kCwUseDefault, 6, 0, 0, 0, &handler);
    Rect rect;
    ASSERT_TRUE(platform_.GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(rect.bottom, 0);
}

TEST_F(WindowCallsTest, BroadcastsReachTopLevelWindowsAndTheStartMenuIsNone) {
    CountingWindow top;
    CountingWindow owned;
    const WindowHandle topWindow = Create(top);
    Create(owned, topWindow);
    const std::uint32_t created = platform_.RegisterWindowMessageA("TaskbarCreated");
    EXPECT_GE(created, 0xC000u);
    EXPECT_EQ(platform_.RegisterWindowMessageA("TaskbarCreated"), created);
    EXPECT_NE(platform_.RegisterWindowMessageA("Other"), created);
    EXPECT_TRUE(platform_.PostMessageA(kHwndBroadcast, created, 0, 0));
    EXPECT_TRUE(platform_.PostMessageA(topWindow, kWmSysCommand, kScTaskList, 0));
    const std::vector<Message> queued = Drain();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].window, topWindow);
    EXPECT_EQ(queued[0].message, created);
}

}  // namespace
}  // namespace pavix
