// Where the program's files go and what the session is, from the environment it is given.
#include "platform/linux/posix/locations.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace pavix {
namespace {

EnvironmentLookup Environment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
        const auto found = values.find(name);
        return found != values.end() ? found->second.c_str() : nullptr;
    };
}

TEST(LocationsTest, TheConfigurationFolderFollowsXdgWithHomeAsTheDefault) {
    EXPECT_EQ(ConfigFolder(Environment({{"XDG_CONFIG_HOME", "/x/conf"}, {"HOME", "/home/u"}})),
              "/x/conf/pavix");
    EXPECT_EQ(ConfigFolder(Environment({{"HOME", "/home/u"}})), "/home/u/.config/pavix");
    // A relative or empty XDG_CONFIG_HOME is invalid and ignored.
    EXPECT_EQ(ConfigFolder(Environment({{"XDG_CONFIG_HOME", "conf"}, {"HOME", "/home/u"}})),
              "/home/u/.config/pavix");
    EXPECT_EQ(ConfigFolder(Environment({{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u"}})),
              "/home/u/.config/pavix");
    EXPECT_EQ(ConfigFolder(Environment({})), "");
}

TEST(LocationsTest, OneLockPerDisplayInTheRuntimeFolderOrTheUsersOwnInTmp) {
    // Every spelling of one display names one lock; the screen is no part of the display.
    for (const char* display : {":1", ":1.0", ":1.2", "unix:1", "unix:1.0", "unix/:1"}) {
        EXPECT_EQ(InstanceLockPath(
                      Environment({{"XDG_RUNTIME_DIR", "/run/user/7"}, {"DISPLAY", display}}), 7),
                  "/run/user/7/pavix-:1.lock")
            << display;
    }
    EXPECT_EQ(InstanceLockPath(Environment({{"DISPLAY", "localhost:10.0"}}), 7),
              "/tmp/pavix-7-localhost:10.lock");
    EXPECT_EQ(InstanceLockPath(Environment({{"XDG_RUNTIME_DIR", "run"}, {"DISPLAY", "1"}}), 8),
              "/tmp/pavix-8-none.lock");
    // On a Wayland display, one lock whether Xwayland's DISPLAY is there or not.
    for (const char* display : {":0", ""}) {
        EXPECT_EQ(InstanceLockPath(Environment({{"XDG_RUNTIME_DIR", "/run/user/7"},
                                                {"WAYLAND_DISPLAY", "wayland-0"},
                                                {"DISPLAY", display}}),
                                   7),
                  "/run/user/7/pavix-wayland:wayland-0.lock");
    }
    EXPECT_EQ(InstanceLockPath(Environment({{"WAYLAND_DISPLAY", "/run/w/s"}}), 7),
              "/tmp/pavix-7-wayland:_run_w_s.lock");
}

TEST(LocationsTest, TheSessionAndTheLanguageComeFromTheEnvironment) {
    EXPECT_TRUE(IsWaylandSession(Environment({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_TRUE(IsWaylandSession(Environment({{"XDG_SESSION_TYPE", "wayland"}})));
    EXPECT_FALSE(IsWaylandSession(Environment({{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}})));
    EXPECT_FALSE(IsWaylandSession(Environment({{"WAYLAND_DISPLAY", ""}})));

    EXPECT_TRUE(PrefersJapanese(Environment({{"LANG", "ja_JP.UTF-8"}})));
    EXPECT_TRUE(PrefersJapanese(Environment({{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "C"}})));
    // LC_ALL overrides the others, as the C library has it.
    EXPECT_FALSE(PrefersJapanese(Environment({{"LC_ALL", "en_US.UTF-8"}, {"LANG", "ja_JP"}})));
    EXPECT_FALSE(PrefersJapanese(Environment({{"LC_ALL", ""}, {"LANG", "de_DE"}})));
    EXPECT_FALSE(PrefersJapanese(Environment({})));
}

TEST(LocationsTest, TheSoundsAreInstalledOnceAndAUsersOwnAreKept) {
    namespace fs = std::filesystem;
    std::string pattern = ::testing::TempDir() + "pavix-install-XXXXXX";
    const fs::path root = mkdtemp(pattern.data());
    fs::create_directories(root / "program" / "se");
    std::ofstream(root / "program" / "se" / "match.wav") << "default";
    fs::create_directories(root / "program" / "se" / "extra");
    std::ofstream(root / "program" / "se" / "extra" / "chime.wav") << "inner";
    ASSERT_TRUE(InstallMissingFolder((root / "program" / "se").string(), (root / "se").string()));
    std::ifstream installed(root / "se" / "match.wav");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(installed), {}), "default");
    EXPECT_TRUE(fs::exists(root / "se" / "extra" / "chime.wav"));
    EXPECT_FALSE(fs::exists(root / "se.partial"));

    std::ofstream(root / "se" / "match.wav") << "mine";
    std::ofstream(root / "program" / "se" / "abort.wav") << "new";
    ASSERT_TRUE(InstallMissingFolder((root / "program" / "se").string(), (root / "se").string()));
    std::ifstream kept(root / "se" / "match.wav");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "mine");
    EXPECT_FALSE(fs::exists(root / "se" / "abort.wav"));

    EXPECT_FALSE(InstallMissingFolder((root / "none").string(), (root / "other").string()));
    EXPECT_FALSE(fs::exists(root / "other"));
    EXPECT_FALSE(fs::exists(root / "other.partial"));

    EXPECT_TRUE(CreateFolders((root / "config" / "deep" / "pavix").string()));
    EXPECT_TRUE(fs::is_directory(root / "config" / "deep" / "pavix"));
    EXPECT_TRUE(CreateFolders((root / "config").string()));
    EXPECT_FALSE(CreateFolders((root / "se" / "match.wav" / "pavix").string()));
    // The tray's pictures go to a private folder: every folder made for it is the user's alone.
    ASSERT_TRUE(CreateFolders((root / "run" / "icons").string(), 0700));
    for (const char* made : {"run", "run/icons"}) {
        EXPECT_EQ(fs::status(root / made).permissions() & fs::perms::all, fs::perms::owner_all);
    }
    EXPECT_EQ(ProgramFolder(), fs::read_symlink("/proc/self/exe").parent_path().string());
    fs::remove_all(root);
}

}  // namespace
}  // namespace pavix
