#include "storage/preferences.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "support/data_files.h"

namespace pavix {
namespace {

constexpr const char* kPath = "C:\\Pavix\\Preferences.dat";
constexpr const char* kNewPath = "C:\\Pavix\\Preferences.new";
constexpr const char* kBackupPath = "C:\\Pavix\\Preferences.dat.bak";

std::string File(std::int32_t showHints, std::int32_t version = 1) {
    return testing::PreferencesFileBytes(showHints, version);
}

class PreferencesTest : public ::testing::Test {
  protected:
    // Loads into fresh preferences and returns the result and the hint choice.
    std::pair<FileResult, bool> LoadFresh() {
        Preferences preferences(platform);
        const FileResult result = preferences.Load();
        return {result, preferences.ShowHints()};
    }
    fake::FakePlatform platform;
};

TEST_F(PreferencesTest, SavedChoiceComesBackAndAMissingFileMeansHintsOn) {
    EXPECT_EQ(LoadFresh(), std::make_pair(FileResult::kMissing, true));
    Preferences preferences(platform);
    preferences.SetShowHints(false);
    ASSERT_TRUE(preferences.Save());
    EXPECT_EQ(platform.files[kPath], File(0));
    EXPECT_EQ(LoadFresh(), std::make_pair(FileResult::kOk, false));
    preferences.SetShowHints(true);
    ASSERT_TRUE(preferences.Save());
    EXPECT_EQ(platform.files[kPath], File(1));
    EXPECT_EQ(platform.files.count(kNewPath), 0u);
    EXPECT_EQ(platform.OpenFileCount(), 0);
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(PreferencesTest, UnusableFilesLeaveTheChoiceAsItWasAndSayNothing) {
    const std::string good = File(0);
    std::vector<std::string> shapes = {File(2), File(-1), File(0, 2), File(0, 0),
                                       "\x07\x08PavixConf" + good.substr(11)};
    for (std::size_t length = 0; length < good.size(); ++length) {
        shapes.push_back(good.substr(0, length));
    }
    for (const std::string& shape : shapes) {
        platform.files[kPath] = shape;
        Preferences preferences(platform);
        EXPECT_EQ(preferences.Load(), FileResult::kUnusable) << shape.size();
        EXPECT_TRUE(preferences.ShowHints());
        preferences.SetShowHints(false);
        platform.files[kPath] = shape;
        EXPECT_EQ(preferences.Load(), FileResult::kUnusable);
        EXPECT_FALSE(preferences.ShowHints());
    }
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

// Another version's file may hold choices that this one cannot read: it is kept before the first
// save replaces it, once, and never replaced when it cannot be kept.
TEST_F(PreferencesTest, AnUnusableFileIsKeptAsBackupBeforeTheFirstSave) {
    using Files = std::map<std::string, std::string>;
    const std::string other = File(1, 2);
    platform.files[kPath] = other;
    Preferences preferences(platform);
    ASSERT_EQ(preferences.Load(), FileResult::kUnusable);
    platform.Script("CopyFileA", 0, kErrorAccessDenied, {}, 1);
    EXPECT_FALSE(preferences.Save());
    EXPECT_EQ(platform.files, (Files{{kPath, other}}));
    preferences.SetShowHints(false);
    ASSERT_TRUE(preferences.Save());
    preferences.SetShowHints(true);
    ASSERT_TRUE(preferences.Save());
    EXPECT_EQ(platform.files, (Files{{kPath, File(1)}, {kBackupPath, other}}));
    EXPECT_EQ(platform.CallsNamed("CopyFileA").size(), 2u);

    // A good file needs no copy.
    platform.calls.clear();
    ASSERT_EQ(preferences.Load(), FileResult::kOk);
    ASSERT_TRUE(preferences.Save());
    EXPECT_TRUE(platform.CallsNamed("CopyFileA").empty());
}

TEST_F(PreferencesTest, FailedSaveKeepsTheOldFileAndRemovesTheNewOne) {
    const std::string old = File(1);
    Preferences preferences(platform);
    preferences.SetShowHints(false);
    for (std::uint64_t limit : {0, 5, 18}) {
        platform.files[kPath] = old;
        platform.LimitWrites(kNewPath, limit);
        EXPECT_FALSE(preferences.Save()) << limit;
        EXPECT_EQ(platform.files[kPath], old);
        EXPECT_EQ(platform.files.count(kNewPath), 0u);
    }
    platform.LimitWrites(kNewPath, 100);
    platform.Script("MoveFileExA", 0, 5, {}, 1);
    EXPECT_FALSE(preferences.Save());
    EXPECT_EQ(platform.files[kPath], old);
    EXPECT_EQ(platform.files.count(kNewPath), 0u);
    platform.Script("CreateFileA", -1, 5, {}, 1);
    EXPECT_FALSE(preferences.Save());
    EXPECT_EQ(platform.files[kPath], old);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

}  // namespace
}  // namespace pavix
