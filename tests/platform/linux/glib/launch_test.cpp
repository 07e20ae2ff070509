// What starting a command means: which program runs with which arguments, or why none can.
#include "platform/linux/glib/launch.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/constants.h"
#include "platform/linux/posix/spawn.h"

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

// The lines of the child's /proc status that say how it was started, by name.
std::map<std::string, std::string> SpawnedStatus(const std::string& folder) {
    const std::string file = folder + "/status";
    const Spawned spawned =
        Spawn({"/bin/sh", "-c", "exec cat /proc/self/status >\"$0\"", file}, "");
    EXPECT_EQ(spawned.error, 0);
    int status = 0;
    ::waitpid(spawned.pid, &status, 0);
    std::map<std::string, std::string> fields;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(":\t");
        if (colon != std::string::npos) {
            fields[line.substr(0, colon)] = line.substr(colon + 2);
        }
    }
    return fields;
}

// Started from a process that blocks and ignores signals, as Pavix does, and leads no session.
TEST_F(LaunchTest, AStartedProgramLeadsASessionOfItsOwnWithPlainSignals) {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigset_t before;
    ::pthread_sigmask(SIG_BLOCK, &blocked, &before);
    const auto quit = std::signal(SIGQUIT, SIG_IGN);
    std::map<std::string, std::string> child = SpawnedStatus(folder_);
    std::signal(SIGQUIT, quit);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    EXPECT_EQ(child["NSsid"], child["Pid"]);
    EXPECT_EQ(child["NSpgid"], child["Pid"]);
    // glibc's spawn leaves its own two signals (32 and 33) ignored, which only its threads use.
    constexpr std::uint64_t kGlibcSignals = 0x180000000;
    EXPECT_EQ(std::stoull(child["SigBlk"], nullptr, 16), 0u);
    EXPECT_EQ(std::stoull(child["SigIgn"], nullptr, 16) & ~kGlibcSignals, 0u);
}

}  // namespace
}  // namespace pavix
