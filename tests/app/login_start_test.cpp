// Start at Login: the Startup folder's shortcut is the only record of the choice.
#include "app/login_start.h"

#include <gtest/gtest.h>

#include "app/tray_icon.h"
#include "fake/fake_platform.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;

class LoginStartTest : public ::testing::Test {
  protected:
    std::string Link() const { return platform.startupFolder + "\\Pavix.lnk"; }
    // The check mark the menu gives Start at Login.
    std::string Tick() {
        platform.calls.clear();
        tray.OnTrayNotify(0x1234, kIdle, false, 0x204);
        return platform.CallsNamed("CheckMenuItem").back().args.back();
    }

    FakePlatform platform;
    TrayIcon tray{platform, FakePlatform::kInstance};
    LoginStart& loginStart = tray.StartAtLogin();
};

TEST_F(LoginStartTest, TheShortcutStartsTheProgramInItsFolderAndTheTickFollowsTheFile) {
    EXPECT_EQ(Tick(), "0");
    platform.calls.clear();
    ASSERT_TRUE(loginStart.Toggle());
    // The folder is made when missing, only when the shortcut is to be written.
    EXPECT_EQ(platform.CallsNamed({"SHGetFolderPathA", "SaveShellLinkA"}),
              (Calls{Call("SHGetFolderPathA", 0, 0x8007, 0, 0),
                     Call("SaveShellLinkA", Link(), "C:\\Pavix\\Pavix.exe", "C:\\Pavix")}));
    EXPECT_EQ(platform.files[Link()],
              FakePlatform::ShellLinkContents("C:\\Pavix\\Pavix.exe", "C:\\Pavix"));
    EXPECT_EQ(Tick(), "8");
    // Deleted by hand, the shortcut is gone from the menu too.
    platform.files.erase(Link());
    EXPECT_EQ(Tick(), "0");
    ASSERT_TRUE(loginStart.Toggle());
    ASSERT_TRUE(loginStart.Toggle());
    EXPECT_EQ(platform.files.count(Link()), 0u);
    EXPECT_EQ(Tick(), "0");
}

TEST_F(LoginStartTest, WhatCannotBeDoneChangesNothing) {
    platform.Script("SaveShellLinkA", kEFail, 0, {}, 1);
    EXPECT_FALSE(loginStart.Toggle());
    EXPECT_EQ(platform.files.count(Link()), 0u);
    EXPECT_FALSE(loginStart.Enabled());

    ASSERT_TRUE(loginStart.Toggle());
    platform.Script("DeleteFileA", 0, 5, {}, 1);
    EXPECT_FALSE(loginStart.Toggle());
    EXPECT_TRUE(loginStart.Enabled());

    // Without a Startup folder there is nothing to show or write.
    platform.Script("SHGetFolderPathA", kEFail);
    EXPECT_FALSE(loginStart.Enabled());
    platform.calls.clear();
    EXPECT_FALSE(loginStart.Toggle());
    EXPECT_TRUE(platform.CallsNamed({"SaveShellLinkA", "DeleteFileA"}).empty());
}

}  // namespace
}  // namespace pavix
