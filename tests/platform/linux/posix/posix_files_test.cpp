// The file calls over POSIX: copies, attributes, and the errors they leave.
#include "platform/linux/posix/posix_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/constants.h"
#include "storage/backup.h"

namespace pavix {
namespace {

class PosixFilesTest : public ::testing::Test {
  protected:
    PosixFilesTest() {
        std::string pattern = ::testing::TempDir() + "pavix-files-XXXXXX";
        folder_ = mkdtemp(pattern.data());
        std::ofstream(Path("old.dat")) << std::string(40000, 'x') << "end";
    }
    ~PosixFilesTest() override { std::filesystem::remove_all(folder_); }
    std::string Path(const char* name) const { return folder_ + "/" + name; }
    std::string Read(const char* name) const {
        std::ifstream in(Path(name));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string folder_;
    PosixFiles files_;
};

TEST_F(PosixFilesTest, ACopyHoldsTheWholeFileAndRespectsAnExistingOne) {
    ASSERT_TRUE(files_.CopyFileA(Path("old.dat").c_str(), Path("copy.dat").c_str(), true));
    EXPECT_EQ(Read("copy.dat"), Read("old.dat"));
    std::ofstream(Path("copy.dat")) << "mine";
    EXPECT_FALSE(files_.CopyFileA(Path("old.dat").c_str(), Path("copy.dat").c_str(), true));
    EXPECT_EQ(files_.GetLastError(), kErrorFileExists);
    EXPECT_EQ(Read("copy.dat"), "mine");
    ASSERT_TRUE(files_.CopyFileA(Path("old.dat").c_str(), Path("copy.dat").c_str(), false));
    EXPECT_EQ(Read("copy.dat"), Read("old.dat"));  // replaced, not appended to
    EXPECT_FALSE(files_.CopyFileA(Path("none").c_str(), Path("other").c_str(), false));
    EXPECT_EQ(files_.GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(std::filesystem::exists(Path("other")));
}

// A source whose first read fails (/proc/self/mem reads as EIO at its start) and a folder: the
// copy fails, no empty copy is left, and a folder's copy does not even touch the destination.
TEST_F(PosixFilesTest, ACopyThatCannotReadTheWholeFileFailsAndLeavesNoCopy) {
    std::filesystem::create_symlink("/proc/self/mem", Path("Sequence.dat"));
    EXPECT_FALSE(KeepBackup(files_, Path("Sequence.dat")));
    EXPECT_EQ(files_.LastErrno(), EIO);
    EXPECT_FALSE(std::filesystem::exists(Path("Sequence.dat.bak")));
    std::filesystem::create_directory(Path("folder"));
    std::ofstream(Path("folder.bak")) << "an older copy";
    EXPECT_FALSE(KeepBackup(files_, Path("folder")));
    EXPECT_EQ(files_.GetLastError(), kErrorAccessDenied);
    EXPECT_EQ(Read("folder.bak"), "an older copy");
}

TEST_F(PosixFilesTest, FoldersAreToldFromFilesAndErrorsKeepTheirErrno) {
    constexpr std::uint32_t kDirectory = 0x10;
    EXPECT_EQ(files_.GetFileAttributesA(folder_.c_str()), kDirectory);
    EXPECT_EQ(files_.GetFileAttributesA(Path("old.dat").c_str()), kFileAttributeNormal);
    EXPECT_EQ(files_.GetFileAttributesA(Path("old.dat/x").c_str()), kInvalidFileAttributes);
    EXPECT_EQ(files_.GetLastError(), kErrorPathNotFound);
    EXPECT_EQ(files_.LastErrno(), ENOTDIR);
    files_.SetLastError(kErrorPathNotFound);  // the same code from elsewhere has no errno
    EXPECT_EQ(files_.LastErrno(), 0);
    EXPECT_EQ(ErrorOfErrno(ENOSPC), kErrorHandleDiskFull);
    EXPECT_EQ(ErrorOfErrno(EROFS), kErrorAccessDenied);
}

}  // namespace
}  // namespace pavix
