// The desktop file by which the portal knows the program: a copy of the program's own naming it,
// written once, where none is installed.
#include "platform/linux/portal/desktop_entry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace pavix {
namespace {

class DesktopEntryTest : public ::testing::Test {
  protected:
    DesktopEntryTest() {
        std::string pattern = ::testing::TempDir() + "pavix-entry-XXXXXX";
        folder_ = mkdtemp(pattern.data());
        environment_ = {{"HOME", folder_ + "/home"}, {"XDG_DATA_DIRS", folder_ + "/system"}};
        std::ofstream(folder_ + "/entry.desktop") << "[Desktop Entry]\nName=Pavix\nExec=pavix\n";
    }
    ~DesktopEntryTest() override { std::filesystem::remove_all(folder_); }

    bool Install() {
        return InstallDesktopEntry(
            [this](const char* name) {
                const auto found = environment_.find(name);
                return found != environment_.end() ? found->second.c_str() : nullptr;
            },
            folder_ + "/entry.desktop", "/opt/my pavix/pavix");
    }
    std::string Installed() const {
        std::ifstream file(folder_ +
                           "/home/.local/share/applications/io.github.pavix.Pavix.desktop");
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    std::string folder_;
    std::map<std::string, std::string> environment_;
};

TEST_F(DesktopEntryTest, IsWrittenIntoTheUsersDataFolderOnce) {
    EXPECT_TRUE(Install());
    EXPECT_EQ(Installed(), "[Desktop Entry]\nName=Pavix\nExec=\"/opt/my pavix/pavix\"\n");
    std::ofstream(folder_ + "/home/.local/share/applications/io.github.pavix.Pavix.desktop")
        << "mine";
    EXPECT_TRUE(Install());
    EXPECT_EQ(Installed(), "mine");  // the user's own stays
}

TEST_F(DesktopEntryTest, AnInstalledOneIsLeftToServe) {
    std::filesystem::create_directories(folder_ + "/system/applications");
    std::ofstream(folder_ + "/system/applications/io.github.pavix.Pavix.desktop") << "packaged";
    EXPECT_TRUE(Install());
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/home/.local/share/applications"));
}

TEST_F(DesktopEntryTest, NoDataFolderMeansNoFile) {
    environment_ = {{"XDG_DATA_HOME", "relative/share"}, {"XDG_DATA_DIRS", folder_ + "/system"}};
    EXPECT_FALSE(Install());
}

}  // namespace
}  // namespace pavix
