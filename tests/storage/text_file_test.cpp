#include "storage/text_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakePlatform;

constexpr const char* kPath = "C:\\Work\\sequences.toml";
constexpr const char* kSavePath = "C:\\Work\\sequences.toml.1.tmp";
constexpr const char* kStrangerPath = "C:\\Work\\sequences.new";  // someone else's

class TextFileTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    std::string bytes = "left over";
};

TEST_F(TextFileTest, ReadsTheWholeFileOverManyChunks) {
    const std::string content(200000, 'x');
    platform.files[kPath] = content + "end";
    EXPECT_EQ(ReadWholeFile(platform, kPath, content.size() + 3, bytes), WholeFileResult::kOk);
    EXPECT_EQ(bytes, content + "end");
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

TEST_F(TextFileTest, AFileItCannotReadWholeGivesNothing) {
    EXPECT_EQ(ReadWholeFile(platform, kPath, 100, bytes), WholeFileResult::kCannotOpen);
    EXPECT_EQ(bytes, "");

    platform.files[kPath] = std::string(101, 'x');
    EXPECT_EQ(ReadWholeFile(platform, kPath, 100, bytes), WholeFileResult::kTooLarge);
    EXPECT_EQ(bytes, "");
    EXPECT_TRUE(platform.CallsNamed("ReadFile").empty());  // refused before reading

    // A file that claims less than it holds is still held to the limit.
    platform.Script("GetFileSize", 10);
    EXPECT_EQ(ReadWholeFile(platform, kPath, 100, bytes), WholeFileResult::kTooLarge);
    EXPECT_EQ(bytes, "");

    platform.files[kPath] = "short";
    platform.Script("ReadFile", 0, kErrorAccessDenied);
    EXPECT_EQ(ReadWholeFile(platform, kPath, 100, bytes), WholeFileResult::kCannotRead);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

TEST_F(TextFileTest, WritingReplacesTheFileOnlyWhenTheNewOneIsComplete) {
    platform.files[kPath] = "old";
    ASSERT_TRUE(WriteWholeFile(platform, kPath, "new text"));
    EXPECT_EQ(platform.files[kPath], "new text");
    EXPECT_EQ(platform.files.count(kSavePath), 0u);

    platform.LimitWrites(kSavePath, 3);
    EXPECT_FALSE(WriteWholeFile(platform, kPath, "longer text"));
    EXPECT_EQ(platform.files[kPath], "new text");
    EXPECT_EQ(platform.files.count(kSavePath), 0u);
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

// A file the user chose may sit beside anything: the save file is one that did not exist, so no
// other file of the folder is truncated, written or deleted, whatever happens.
TEST_F(TextFileTest, TheSaveFileIsCreatedAsNewUnderTheFirstFreeName) {
    platform.files = {{kPath, "old"}, {kStrangerPath, "stranger"}, {kSavePath, "taken"}};
    ASSERT_TRUE(WriteWholeFile(platform, kPath, "text"));
    const std::string second = "C:\\Work\\sequences.toml.2.tmp";
    EXPECT_EQ(
        platform.CallsNamed({"CreateFileA", "GetLastError", "MoveFileExA", "DeleteFileA"}),
        (fake::Calls{
            Call("CreateFileA", kSavePath, kGenericWrite, 0, kCreateNew, kFileAttributeNormal),
            Call("GetLastError"),
            Call("CreateFileA", second, kGenericWrite, 0, kCreateNew, kFileAttributeNormal),
            Call("MoveFileExA", second, kPath, 9)}));
    EXPECT_EQ(platform.files,
              (std::map<std::string, std::string>{
                  {kPath, "text"}, {kStrangerPath, "stranger"}, {kSavePath, "taken"}}));

    EXPECT_EQ(platform.OpenFileCount(), 0);
}

// Only a name already taken is worth another try, and only so many of them.
TEST_F(TextFileTest, ASaveFileThatCannotBeCreatedEndsTheAttempts) {
    platform.Script("CreateFileA", -1, kErrorAccessDenied, {}, 1);
    EXPECT_FALSE(WriteWholeFile(platform, kPath, "text"));
    EXPECT_EQ(platform.CallsNamed("CreateFileA").size(), 1u);

    platform.calls.clear();
    platform.Script("CreateFileA", -1, kErrorAlreadyExists);
    EXPECT_FALSE(WriteWholeFile(platform, kPath, "text"));
    EXPECT_EQ(platform.CallsNamed("CreateFileA").size(), 100u);
    EXPECT_EQ(platform.CallsNamed("CreateFileA").back().args[0],
              fake::FormatArg("C:\\Work\\sequences.toml.100.tmp"));
    EXPECT_TRUE(platform.CallsNamed({"WriteFile", "MoveFileExA", "DeleteFileA"}).empty());
    EXPECT_EQ(platform.files.count(kPath), 0u);
}

// The native tool's paths separate folders with slashes: a dot in a folder's name is no
// extension of the file's.
TEST_F(TextFileTest, TheSaveFileOfAPathWithSlashesStaysInTheFilesFolder) {
    ASSERT_TRUE(WriteWholeFile(platform, "out.d/sequences", "text"));
    EXPECT_EQ(platform.CallsNamed("MoveFileExA")[0].args[0], "\"out.d/sequences.1.tmp\"");
    EXPECT_EQ(platform.files["out.d/sequences"], "text");
}

}  // namespace
}  // namespace pavix
