// What starting a command means: which program runs with which arguments, or why none can.
#include "platform/linux/glib/launch.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/constants.h"

namespace pavix {
namespace {

namespace fs = std::filesystem;
using Argv = std::vector<std::string>;

class LaunchTest : public ::testing::Test {
  protected:
    LaunchTest() {
        std::string pattern = ::testing::TempDir() + "pavix-launch-XXXXXX";
        folder_ = mkdtemp(pattern.data());
        std::ofstream(folder_ + "/tool") << "#!/bin/sh\n";
        ::chmod((folder_ + "/tool").c_str(), 0755);
        std::ofstream(folder_ + "/notes.txt") << "text";
        fs::create_directory(folder_ + "/sub");
    }
    ~LaunchTest() override { fs::remove_all(folder_); }

    std::string folder_;
};

TEST_F(LaunchTest, AProgramRunsWithItsParametersSplitWithoutAShell) {
    const Launch launch = PlanLaunch(folder_ + "/tool", R"(-a "two words" 'x y' $HOME;)", "");
    EXPECT_EQ(launch.error, 0u);
    EXPECT_EQ(launch.argv, (Argv{folder_ + "/tool", "-a", "two words", "x y", "$HOME;"}));
    EXPECT_EQ(PlanLaunch(folder_ + "/tool", "  ", "").argv, (Argv{folder_ + "/tool"}));
}

TEST_F(LaunchTest, ANameIsLookedForOnThePathThenInTheDirectory) {
    const Launch found = PlanLaunch("sh", "-c true", folder_);
    ASSERT_EQ(found.argv.size(), 3u);
    EXPECT_EQ(fs::path(found.argv[0]).filename(), "sh");
    EXPECT_EQ(found.directory, folder_);
    EXPECT_EQ(PlanLaunch("tool", "", folder_).argv, (Argv{folder_ + "/tool"}));
    EXPECT_EQ(PlanLaunch("sub/../tool", "", folder_).argv, (Argv{folder_ + "/sub/../tool"}));
}

TEST_F(LaunchTest, DocumentsFoldersAndAddressesOpenWithTheDesktopsChoice) {
    EXPECT_EQ(PlanLaunch(folder_ + "/notes.txt", "ignored", "").argv,
              (Argv{"xdg-open", folder_ + "/notes.txt"}));
    EXPECT_EQ(PlanLaunch(folder_ + "/sub", "", "").argv, (Argv{"xdg-open", folder_ + "/sub"}));
    EXPECT_EQ(PlanLaunch("https://example.org/a b", "", "").argv,
              (Argv{"xdg-open", "https://example.org/a b"}));
    EXPECT_EQ(PlanLaunch("mailto:someone@example.org", "", "").argv,
              (Argv{"xdg-open", "mailto:someone@example.org"}));
}

TEST_F(LaunchTest, WhatCannotStartIsRefusedWithThePlatformsCode) {
    EXPECT_EQ(PlanLaunch(folder_ + "/missing", "", "").error, kErrorFileNotFound);
    EXPECT_EQ(PlanLaunch("pavix-no-such-program", "", "").error, kErrorFileNotFound);
    EXPECT_EQ(PlanLaunch("", "", "").error, kErrorFileNotFound);
    // A drive letter is no address's scheme.
    EXPECT_EQ(PlanLaunch("C:\\Windows\\notepad.exe", "", "").error, kErrorFileNotFound);
    EXPECT_EQ(PlanLaunch(folder_ + "/notes.txt/x", "", "").error, kErrorPathNotFound);
    EXPECT_EQ(PlanLaunch("tool", "", folder_ + "/missing").error, kErrorPathNotFound);
    EXPECT_EQ(PlanLaunch("tool", "", folder_ + "/notes.txt").error, kErrorPathNotFound);
    const Launch unbalanced = PlanLaunch(folder_ + "/tool", "\"open", "");
    EXPECT_EQ(unbalanced.error, kErrorInvalidParameter);
    EXPECT_TRUE(unbalanced.argv.empty());
}

}  // namespace
}  // namespace pavix
