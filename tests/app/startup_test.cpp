#include "app/startup.h"

#include <gtest/gtest.h>

#include "engine/command_runner.h"
#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "support/data_files.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;

class StartupTest : public ::testing::Test {
  protected:
    FakePlatform platform;
};

TEST_F(StartupTest, SecondInstanceEndsAtOnceWithCodeZero) {
    platform.mutexTaken = true;
    EXPECT_EQ(RunPavix(platform), 0);
    EXPECT_EQ(platform.calls,
              (Calls{Call("CreateMutexA", 0, true, "Pavix"), Call("GetLastError")}));
}

TEST_F(StartupTest, NoMutexHandleEndsAtOnce) {
    platform.Script("CreateMutexA", 0);
    EXPECT_EQ(RunPavix(platform), 0);
    EXPECT_EQ(platform.calls.size(), 1u);
}

TEST_F(StartupTest, RunsUntilExitThenUnregistersAndUninitialises) {
    platform.files["C:\\Pavix\\Sequence.dat"] =
        testing::SequenceFileBytes({{"a", {{3, 'A'}}, {testing::Builtin(0)}}});
    platform.queue.push_back(Message{FakePlatform::kMainWindow, 0x111, 40001, 0});
    EXPECT_EQ(RunPavix(platform), 0);
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_TRUE(platform.trayIcons.empty());
    const Calls setup =
        platform.CallsNamed({"CreateMutexA", "CoInitialize", "InitCommonControlsEx",
                             "RegisterWindowMessageA", "RegisterClassExA", "CreateWindowExA"});
    EXPECT_EQ(
        setup,
        (Calls{Call("CreateMutexA", 0, true, "Pavix"), Call("CoInitialize", 0),
               Call("InitCommonControlsEx", 8, 0x404),
               Call("RegisterWindowMessageA", "TaskbarCreated"),
               Call("RegisterClassExA", "PavixMainWindow", FakePlatform::kInstance, 32512, 0),
               Call("CreateWindowExA", 0, "PavixMainWindow", "Pavix", 0xCF0000, kCwUseDefault,
                    kCwUseDefault, kCwUseDefault, kCwUseDefault, 0, 0, FakePlatform::kInstance)}));
    const Calls tail = platform.CallsNamed({"UnregisterHotKey", "CoUninitialize"});
    ASSERT_EQ(tail.size(), 2u);
    EXPECT_EQ(tail.back(), Call("CoUninitialize"));
}

// Only while the sheet is open is each message offered to it first; a key it takes (Tab) is
// neither translated nor dispatched.
TEST_F(StartupTest, WhileTheSheetIsOpenItsKeysComeFirst) {
    platform.UseFakeDialogs();
    platform.Script("IsDialogMessageA", 1, 0,
                    [](const Call& call) { return call.args[2] == "256"; });
    platform.queue = {Message{FakePlatform::kMainWindow, 0x111, 40008, 0},
                      Message{0x77, kWmKeyDown, 9, 0},
                      Message{FakePlatform::kMainWindow, 0x111, 40001, 0}};
    EXPECT_EQ(RunPavix(platform), 0);
    EXPECT_EQ(platform.CallsNamed("IsDialogMessageA").size(), 2u);
    EXPECT_EQ(platform.CallsNamed("DispatchMessageA").size(), 2u);
    EXPECT_EQ(platform.CallsNamed("TranslateMessage"),
              (Calls{Call("TranslateMessage", 0x111), Call("TranslateMessage", 0x111)}));
}

TEST_F(StartupTest, WindowThatCannotBeCreatedEndsWithAnError) {
    platform.Script("CreateWindowExA", 0);
    EXPECT_EQ(RunPavix(platform), 1);
    EXPECT_TRUE(platform.CallsNamed("GetMessageA").empty());
    EXPECT_EQ(platform.calls.back(), Call("CoUninitialize"));
    platform.calls.clear();
    FakePlatform other;
    other.Script("RegisterClassExA", 0);
    EXPECT_EQ(RunPavix(other), 1);
    EXPECT_TRUE(other.CallsNamed("CreateWindowExA").empty());
}

}  // namespace
}  // namespace pavix
