#include "engine/command_runner.h"

#include <gtest/gtest.h>

#include <string>

#include "editors/error_boxes.h"
#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;

constexpr KernelHandle kToken = 0x7001;

// The calls of the NT privilege steps, before the final call.
Calls PrivilegeSteps() {
    return {Call("GetVersionExA", 148),
            Call("GetCurrentProcess"),
            Call("OpenProcessToken", -1, 0x28),
            Call("LookupPrivilegeValueA", nullptr, "SeShutdownPrivilege"),
            Call("AdjustTokenPrivileges", kToken, false, 1, 19, 0, 2),
            Call("GetLastError"),
            Call("CloseHandle", kToken)};
}

Calls With(Calls calls, const Call& last) {
    calls.push_back(last);
    return calls;
}

class CommandRunnerTest : public ::testing::Test {
  protected:
    void SetUp() override { runner.SetWindow(0x1234); }
    FakePlatform platform;
    ErrorBoxes boxes{platform};
    PlatformCommandRunner runner{platform, boxes};
};

struct BuiltinCase {
    BuiltinCommandId id;
    Calls calls;
    CommandResult result;
};

class BuiltinCommandsOnNtTest : public CommandRunnerTest,
                                public ::testing::WithParamInterface<BuiltinCase> {};

TEST_P(BuiltinCommandsOnNtTest, MakesExactlyTheseCalls) {
    EXPECT_EQ(runner.RunBuiltin(GetParam().id), GetParam().result);
    EXPECT_EQ(platform.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    AllIds, BuiltinCommandsOnNtTest,
    ::testing::Values(
        BuiltinCase{kDoNothing, {}, kCommandDone},
        BuiltinCase{kOpenStartMenu, {Call("PostMessageA", 0x1234, 0x112, 0xF130, 0)}, kCommandDone},
        BuiltinCase{kDisableHotkey, {}, kCommandDisableHotkeys},
        BuiltinCase{kExitPavix, {}, kCommandExitProgram},
        BuiltinCase{kShutdownSystem, With(PrivilegeSteps(), Call("ExitWindowsEx", 8, 0)),
                    kCommandDone},
        BuiltinCase{kForceShutdown, With(PrivilegeSteps(), Call("ExitWindowsEx", 12, 0)),
                    kCommandDone},
        BuiltinCase{kRebootSystem, With(PrivilegeSteps(), Call("ExitWindowsEx", 2, 0)),
                    kCommandDone},
        BuiltinCase{kForceReboot, With(PrivilegeSteps(), Call("ExitWindowsEx", 6, 0)),
                    kCommandDone},
        BuiltinCase{kLogoff, With(PrivilegeSteps(), Call("ExitWindowsEx", 0, 0)), kCommandDone},
        BuiltinCase{kForceLogoff, With(PrivilegeSteps(), Call("ExitWindowsEx", 4, 0)),
                    kCommandDone},
        BuiltinCase{kStandbySystem,
                    With(PrivilegeSteps(), Call("SetSystemPowerState", true, false)), kCommandDone},
        BuiltinCase{kForceStandby, With(PrivilegeSteps(), Call("SetSystemPowerState", true, true)),
                    kCommandDone},
        BuiltinCase{kHibernateSystem,
                    With(PrivilegeSteps(), Call("SetSystemPowerState", false, false)),
                    kCommandDone},
        BuiltinCase{kForceHibernate,
                    With(PrivilegeSteps(), Call("SetSystemPowerState", false, true)), kCommandDone},
        BuiltinCase{
            kLockSystem, {Call("GetVersionExA", 148), Call("LockWorkStation")}, kCommandDone},
        BuiltinCase{
            kStartScreenSaver, {Call("PostMessageA", 0xFFFF, 0x112, 0xF140, 0)}, kCommandDone},
        BuiltinCase{16, {}, kCommandFailed}, BuiltinCase{-1, {}, kCommandFailed}),
    [](const ::testing::TestParamInfo<BuiltinCase>& info) {
        const BuiltinCommandId id = info.param.id;
        return id < 0 ? "IdMinus" + std::to_string(-id) : "Id" + std::to_string(id);
    });

TEST_F(CommandRunnerTest, PostsAreDoneWhateverThePostReturns) {
    platform.Script("PostMessageA", 0);
    EXPECT_EQ(runner.RunBuiltin(kOpenStartMenu), kCommandDone);
    EXPECT_EQ(runner.RunBuiltin(kStartScreenSaver), kCommandDone);
}

TEST_F(CommandRunnerTest, MissingPrivilegeStopsBeforeTheFinalCall) {
    platform.lastErrorAfterAdjust = kErrorNotAllAssigned;
    EXPECT_EQ(runner.RunBuiltin(kShutdownSystem), kCommandFailed);
    EXPECT_EQ(platform.calls, PrivilegeSteps());
}

TEST_F(CommandRunnerTest, TokenThatCannotBeOpenedFails) {
    platform.Script("OpenProcessToken", 0, kErrorAccessDenied);
    EXPECT_EQ(runner.RunBuiltin(kRebootSystem), kCommandFailed);
    EXPECT_TRUE(platform.CallsNamed({"ExitWindowsEx", "LookupPrivilegeValueA"}).empty());
}

TEST_F(CommandRunnerTest, RefusedFinalCallFailsOnNt) {
    platform.Script("ExitWindowsEx", 0);
    platform.Script("SetSystemPowerState", 0);
    EXPECT_EQ(runner.RunBuiltin(kLogoff), kCommandFailed);
    EXPECT_EQ(runner.RunBuiltin(kForceHibernate), kCommandFailed);
}

TEST_F(CommandRunnerTest, OlderFamiliesSkipPrivilegesAndTrustNoAnswer) {
    for (std::uint32_t family : {kVerPlatformWin32s, kVerPlatformWin32Windows}) {
        platform.calls.clear();
        platform.version.platformId = family;
        platform.Script("ExitWindowsEx", 0, 0, {}, 1);
        EXPECT_EQ(runner.RunBuiltin(kForceShutdown), kCommandDone);
        EXPECT_EQ(platform.calls,
                  (Calls{Call("GetVersionExA", 148), Call("ExitWindowsEx", 12, 0)}));
    }
}

TEST_F(CommandRunnerTest, UnknownFamilyCallsNothingAndSucceeds) {
    platform.version.platformId = 3;
    EXPECT_EQ(runner.RunBuiltin(kStandbySystem), kCommandDone);
    EXPECT_EQ(platform.calls, (Calls{Call("GetVersionExA", 148)}));
}

TEST_F(CommandRunnerTest, VersionQueryFailureFailsShutdownAndLock) {
    platform.Script("GetVersionExA", 0);
    EXPECT_EQ(runner.RunBuiltin(kShutdownSystem), kCommandFailed);
    EXPECT_EQ(runner.RunBuiltin(kLockSystem), kCommandFailed);
    EXPECT_TRUE(platform.CallsNamed({"ExitWindowsEx", "LockWorkStation"}).empty());
}

TEST_F(CommandRunnerTest, LockNeedsVersion490) {
    struct Version {
        std::uint32_t major, minor;
        bool locks;
    };
    for (Version v : {Version{4, 89, false}, Version{4, 90, true}, Version{5, 0, true},
                      Version{3, 95, false}, Version{10, 0, true}}) {
        platform.calls.clear();
        platform.version.majorVersion = v.major;
        platform.version.minorVersion = v.minor;
        EXPECT_EQ(runner.RunBuiltin(kLockSystem), v.locks ? kCommandDone : kCommandFailed);
        EXPECT_EQ(platform.CallsNamed("LockWorkStation").size(), v.locks ? 1u : 0u);
    }
    platform.Script("LockWorkStation", 0, 120);
    EXPECT_EQ(runner.RunBuiltin(kLockSystem), kCommandFailed);
}

TEST_F(CommandRunnerTest, ExternalLaunchUsesTheDefaultVerbAndShow) {
    EXPECT_TRUE(runner.RunExternal(0, "notepad.exe", "a.txt", "C:\\work"));
    EXPECT_EQ(platform.calls,
              (Calls{Call("ShellExecuteA", 0, nullptr, "notepad.exe", "a.txt", "C:\\work", 5)}));
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(CommandRunnerTest, ExternalFailureShowsText30AndTheSystemReason) {
    for (std::intptr_t answer : {2, 32}) {
        platform.messageBoxes.clear();
        platform.Script("ShellExecuteA", answer, kErrorFileNotFound, {}, 1);
        EXPECT_FALSE(runner.RunExternal(0, "missing.exe", "", ""));
        ASSERT_EQ(platform.messageBoxes.size(), 1u);
        EXPECT_EQ(platform.messageBoxes[0],
                  (fake::MessageBox{
                      "Failed to execute Command : The system cannot find the file specified.\r\n",
                      "Pavix:Error", 0x10}));
    }
    EXPECT_EQ(platform.CallsNamed("FormatMessageA").back(),
              Call("FormatMessageA", 0x1300, 0, 2, 0x400, 0));
    EXPECT_EQ(platform.OutstandingAllocations(), 0);
    EXPECT_EQ(platform.CallsNamed("LocalFree").size(), 2u);
}

TEST_F(CommandRunnerTest, ExternalFailureWithoutSystemTextShowsText30Alone) {
    platform.Script("ShellExecuteA", 0, 0x12345);
    EXPECT_FALSE(runner.RunExternal(0, "x", "", ""));
    EXPECT_EQ(platform.messageBoxes.at(0).text, "Failed to execute Command : ");
    EXPECT_TRUE(platform.CallsNamed("LocalFree").empty());
}

}  // namespace
}  // namespace pavix
