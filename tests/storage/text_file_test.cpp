#include "storage/text_file.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix {
namespace {

using fake::FakePlatform;

constexpr const char* kPath = "C:\\Work\\sequences.toml";
constexpr const char* kNewPath = "C:\\Work\\sequences.new";

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
    EXPECT_EQ(platform.files.count(kNewPath), 0u);

    platform.LimitWrites(kNewPath, 3);
    EXPECT_FALSE(WriteWholeFile(platform, kPath, "longer text"));
    EXPECT_EQ(platform.files[kPath], "new text");
    EXPECT_EQ(platform.files.count(kNewPath), 0u);
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

// The native tool's paths separate folders with slashes: a dot in a folder's name is no
// extension of the file's.
TEST_F(TextFileTest, TheSaveFileOfAPathWithSlashesStaysInTheFilesFolder) {
    ASSERT_TRUE(WriteWholeFile(platform, "out.d/sequences", "text"));
    EXPECT_EQ(platform.CallsNamed("MoveFileExA")[0].args[0], "\"out.d/sequences.new\"");
    EXPECT_EQ(platform.files["out.d/sequences"], "text");
}

}  // namespace
}  // namespace pavix
