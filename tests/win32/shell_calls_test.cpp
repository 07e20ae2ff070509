// The embedded texts and menu, and the tray record as the shell receives it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {
namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// A string of one language copy straight from its resource block, whatever the thread's locale.
std::wstring StringResource(UINT id, LANGID language) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC block =
        ::FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    if (block == nullptr) {
        return L"<no block>";
    }
    const auto* text = static_cast<const WCHAR*>(::LockResource(::LoadResource(module, block)));
    for (UINT skip = 0; skip < id % 16; ++skip) {
        text += 1 + *text;
    }
    return std::wstring(text + 1, *text);
}

TEST(ShellCallsTest, StringTableHoldsBothLanguages) {
    EXPECT_EQ(StringResource(8, kEnglish), L"Failed to detect Task Tray");
    EXPECT_EQ(StringResource(8, kJapanese), L"タスクトレイウィンドウを検出できませんでした");
    EXPECT_EQ(StringResource(30, kJapanese), L"実行に失敗。理由:");
}

TEST(ShellCallsTest, LoadStringCopiesTruncatesAndMissesIds) {
    Win32Platform platform;
    const LCID previous = ::GetThreadLocale();
    ::SetThreadLocale(MAKELCID(kEnglish, SORT_DEFAULT));
    const ModuleHandle module = platform.GetModuleHandleA(nullptr);
    char text[256] = {};
    EXPECT_EQ(platform.LoadStringA(module, 30, text, sizeof(text)), 28);
    EXPECT_STREQ(text, "Failed to execute Command : ");
    EXPECT_EQ(platform.LoadStringA(module, 30, text, 7), 6);
    EXPECT_STREQ(text, "Failed");
    EXPECT_EQ(platform.LoadStringA(module, 3, text, sizeof(text)), 0);
    ::SetThreadLocale(previous);
}

TEST(ShellCallsTest, MenuItemsChangeStateByCommandId) {
    Win32Platform platform;
    const MenuHandle menu = platform.LoadMenuA(platform.GetModuleHandleA(nullptr), 103);
    ASSERT_NE(menu, 0u);
    const MenuHandle popup = platform.GetSubMenu(menu, 0);
    ASSERT_NE(popup, 0u);
    EXPECT_EQ(platform.EnableMenuItem(popup, 40003, kMfByCommand | kMfGrayed),
              static_cast<std::int32_t>(kMfEnabled));
    EXPECT_EQ(platform.EnableMenuItem(popup, 40003, kMfByCommand | kMfEnabled),
              static_cast<std::int32_t>(kMfGrayed));
    EXPECT_EQ(platform.EnableMenuItem(popup, 49999, kMfByCommand | kMfGrayed), -1);
    EXPECT_EQ(platform.CheckMenuItem(popup, 40001, kMfByCommand | kMfChecked), kMfUnchecked);
    EXPECT_EQ(platform.CheckMenuItem(popup, 40001, kMfByCommand | kMfUnchecked), kMfChecked);
    EXPECT_EQ(platform.CheckMenuItem(popup, 49999, kMfByCommand | kMfChecked), 0xFFFFFFFFu);
    EXPECT_TRUE(platform.DestroyMenu(menu));
}

// Stands in for the shell: shell32 hands every Shell_NotifyIcon request to the first top-level
// "Shell_TrayWnd" as WM_COPYDATA, whose data starts with hWnd, uID, uFlags and uCallbackMessage.
class ShellTray : public WindowHandler {
  public:
    std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
        if (message != WM_COPYDATA) {
            return ::DefWindowProcA(win32::Window(window), message, wParam, lParam);
        }
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const char*>(copy->lpData);
        requests.push_back({copy->dwData, std::string(bytes, copy->cbData)});
        return accept ? TRUE : FALSE;
    }
    struct Request {
        ULONG_PTR message;
        std::string data;
        std::uint32_t Field(int index) const {
            return reinterpret_cast<const std::uint32_t*>(data.data())[index];
        }
        bool HasTip(const std::wstring& tip) const {
            const std::string wide(reinterpret_cast<const char*>(tip.c_str()), tip.size() * 2);
            return data.find(wide) != std::string::npos;
        }
    };
    std::vector<Request> requests;
    bool accept = true;
};

TEST(ShellCallsTest, TrayRecordReachesTheShellIntact) {
    Win32Platform platform;
    const ModuleHandle instance = platform.GetModuleHandleA(nullptr);
    platform.RegisterClassExA({"Shell_TrayWnd", instance, 0});
    ShellTray tray;
    const WindowHandle trayWindow = platform.CreateWindowExA(
        WS_EX_TOPMOST, "Shell_TrayWnd", nullptr, WS_POPUP, 0, 0, 1, 1, 0, 0, instance, &tray);
    ASSERT_NE(trayWindow, 0u);
    ASSERT_EQ(platform.FindWindowA("Shell_TrayWnd", nullptr), trayWindow);

    NotifyIconData data;
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = trayWindow;
    data.uID = 1;
    data.uFlags = kNifMessage | kNifIcon | kNifTip;
    data.uCallbackMessage = kWmApp + 1;
    data.hIcon = platform.LoadImageA(0, 32512, kImageIcon, 16, 16, LR_SHARED);
    std::strcpy(data.szTip, "Pavix");
    ASSERT_NE(data.hIcon, 0u);
    EXPECT_TRUE(platform.Shell_NotifyIconA(kNimAdd, &data));
    tray.accept = false;
    EXPECT_FALSE(platform.Shell_NotifyIconA(kNimModify, &data));

    ASSERT_EQ(tray.requests.size(), 2u);
    const ShellTray::Request& added = tray.requests[0];
    EXPECT_EQ(added.message, kNimAdd);
    EXPECT_EQ(added.Field(0), static_cast<std::uint32_t>(trayWindow));
    EXPECT_EQ(added.Field(1), 1u);
    EXPECT_EQ(added.Field(2), data.uFlags);
    EXPECT_EQ(added.Field(3), data.uCallbackMessage);
    EXPECT_TRUE(added.HasTip(L"Pavix"));
    EXPECT_EQ(tray.requests[1].message, kNimModify);
    platform.DestroyWindow(trayWindow);
}

}  // namespace
}  // namespace pavix
