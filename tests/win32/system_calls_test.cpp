// System texts, version, token privileges, key names and the pointer-valued constants.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/constants.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {
namespace {

constexpr std::uint32_t kShutdownPrivilege = 19;  // SE_SHUTDOWN_PRIVILEGE, a driver-kit name
constexpr std::uint32_t kSystemText =
    kFormatMessageFromSystem | kFormatMessageIgnoreInserts | kFormatMessageAllocateBuffer;

TEST(SystemCallsTest, SystemTextIsALocalAllocationOfTheReportedLength) {
    Win32Platform platform;
    char* text = nullptr;
    const std::uint32_t length = platform.FormatMessageA(kSystemText, nullptr, kErrorFileNotFound,
                                                         kLangUserDefault, &text, 0);
    ASSERT_GT(length, 0u);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), length);
    EXPECT_GE(::LocalSize(text), length + 1);
    platform.LocalFree(text);
}

TEST(SystemCallsTest, UnknownErrorGivesNoTextAndNoBuffer) {
    Win32Platform platform;
    char* text = reinterpret_cast<char*>(&platform);
    EXPECT_EQ(platform.FormatMessageA(kSystemText, nullptr, 0x2FFFFFFF, kLangUserDefault, &text, 0),
              0u);
    EXPECT_EQ(text, nullptr);
}

TEST(SystemCallsTest, VersionFillsThePortableRecord) {
    Win32Platform platform;
    OsVersionInfo info;
    info.size = sizeof(info);
    ASSERT_TRUE(platform.GetVersionExA(&info));
    EXPECT_EQ(info.platformId, kVerPlatformWin32Nt);
    EXPECT_GE(info.majorVersion, 5u);
    OsVersionInfo wrongSize;
    wrongSize.size = 100;
    EXPECT_FALSE(platform.GetVersionExA(&wrongSize));
}

TEST(SystemCallsTest, ShutdownPrivilegeCanBeEnabled) {
    Win32Platform platform;
    KernelHandle token = 0;
    ASSERT_TRUE(platform.OpenProcessToken(platform.GetCurrentProcess(),
                                          kTokenAdjustPrivileges | kTokenQuery, &token));
    TokenPrivilege privilege;
    ASSERT_TRUE(platform.LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privilege.luid));
    EXPECT_EQ(privilege.luid.lowPart, kShutdownPrivilege);
    privilege.attributes = kSePrivilegeEnabled;
    EXPECT_TRUE(platform.AdjustTokenPrivileges(token, false, &privilege));
    EXPECT_TRUE(platform.CloseHandle(token));
}

TEST(SystemCallsTest, KeyNameOfTheScanCodeOfA) {
    Win32Platform platform;
    const std::uint32_t scanCode = platform.MapVirtualKeyA('A', 0);
    ASSERT_NE(scanCode, 0u);
    char name[32] = {};
    const auto lParam = static_cast<std::int32_t>(scanCode << 16);
    EXPECT_EQ(platform.GetKeyNameTextA(lParam, name, sizeof(name)), 1);
    EXPECT_STREQ(name, "A");
}

TEST(SystemCallsTest, PointerValuedConstantsMatchTheSdk) {
    EXPECT_EQ(reinterpret_cast<HWND>(kHwndBroadcast), HWND_BROADCAST);
    EXPECT_EQ(reinterpret_cast<HANDLE>(kInvalidHandleValue), INVALID_HANDLE_VALUE);
    EXPECT_EQ(MAKEINTRESOURCEA(kIdcArrow), IDC_ARROW);
}

}  // namespace
}  // namespace pavix
