// Files in a scratch folder, the module's path, and the path helpers against the behaviour the
// recording stand-in promises the core.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/constants.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {
namespace {

class FileCallsTest : public testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        char unique[MAX_PATH];
        ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
        ASSERT_NE(::GetTempFileNameA(temp, "pvx", 0, unique), 0u);
        ::DeleteFileA(unique);
        ASSERT_TRUE(::CreateDirectoryA(unique, nullptr));
        folder = unique;
    }
    void TearDown() override {
        for (const char* name : {"\\a.dat", "\\b.dat"}) {
            ::DeleteFileA((folder + name).c_str());
        }
        ::RemoveDirectoryA(folder.c_str());
    }
    FileHandle Open(const std::string& path, std::uint32_t access, std::uint32_t disposition) {
        return platform.CreateFileA(path.c_str(), access, 0, disposition, kFileAttributeNormal);
    }
    void Write(const std::string& path, const char* text) {
        const FileHandle file = Open(path, kGenericWrite, kCreateAlways);
        ASSERT_NE(file, kInvalidHandleValue);
        std::uint32_t written = 0;
        const auto size = static_cast<std::uint32_t>(std::strlen(text));
        EXPECT_TRUE(platform.WriteFile(file, text, size, &written));
        EXPECT_EQ(written, size);
        EXPECT_TRUE(platform.FlushFileBuffers(file));
        EXPECT_TRUE(platform.CloseHandle(file));
    }
    Win32Platform platform;
    std::string folder;
};

TEST_F(FileCallsTest, WrittenBytesReadBackWithTheirSize) {
    const std::string path = folder + "\\a.dat";
    Write(path, "hello");
    const FileHandle file = Open(path, kGenericRead, kOpenExisting);
    ASSERT_NE(file, kInvalidHandleValue);
    EXPECT_EQ(Open(path, kGenericRead, kOpenExisting), kInvalidHandleValue);
    EXPECT_EQ(platform.GetLastError(), kErrorSharingViolation);
    std::uint32_t high = 7;
    EXPECT_EQ(platform.GetFileSize(file, &high), 5u);
    EXPECT_EQ(high, 0u);
    char buffer[16] = {};
    std::uint32_t read = 0;
    EXPECT_TRUE(platform.ReadFile(file, buffer, sizeof(buffer), &read));
    EXPECT_EQ(std::string(buffer, read), "hello");
    EXPECT_TRUE(platform.ReadFile(file, buffer, sizeof(buffer), &read));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(platform.CloseHandle(file));
}

TEST_F(FileCallsTest, MoveReplacesOnlyWhenAskedAndDeleteReportsMissingFiles) {
    const std::string a = folder + "\\a.dat";
    const std::string b = folder + "\\b.dat";
    Write(a, "new");
    Write(b, "old");
    EXPECT_FALSE(platform.MoveFileExA(a.c_str(), b.c_str(), 0));
    EXPECT_EQ(platform.GetLastError(), kErrorAlreadyExists);
    const std::uint32_t replace = kMoveFileReplaceExisting | kMoveFileWriteThrough;
    EXPECT_TRUE(platform.MoveFileExA(a.c_str(), b.c_str(), replace));
    EXPECT_EQ(Open(a, kGenericRead, kOpenExisting), kInvalidHandleValue);
    EXPECT_EQ(platform.GetLastError(), kErrorFileNotFound);
    EXPECT_TRUE(platform.DeleteFileA(b.c_str()));
    EXPECT_FALSE(platform.DeleteFileA(b.c_str()));
    EXPECT_EQ(platform.GetLastError(), kErrorFileNotFound);
    EXPECT_EQ(Open(folder + "\\none\\a.dat", kGenericRead, kOpenExisting), kInvalidHandleValue);
    EXPECT_EQ(platform.GetLastError(), kErrorPathNotFound);
}

TEST_F(FileCallsTest, CopyReplacesAnOlderCopyOnlyWhenAllowedAndNeedsAFileNobodyHolds) {
    const std::string a = folder + "\\a.dat";
    const std::string b = folder + "\\b.dat";
    EXPECT_FALSE(platform.CopyFileA(a.c_str(), b.c_str(), false));
    EXPECT_EQ(platform.GetLastError(), kErrorFileNotFound);
    Write(a, "original");
    Write(b, "older copy");
    EXPECT_FALSE(platform.CopyFileA(a.c_str(), b.c_str(), true));
    EXPECT_EQ(platform.GetLastError(), kErrorFileExists);
    const FileHandle held = Open(a, kGenericRead, kOpenExisting);
    EXPECT_FALSE(platform.CopyFileA(a.c_str(), b.c_str(), false));
    EXPECT_EQ(platform.GetLastError(), kErrorSharingViolation);
    EXPECT_TRUE(platform.CloseHandle(held));
    EXPECT_TRUE(platform.CopyFileA(a.c_str(), b.c_str(), false));
    const FileHandle copy = Open(b, kGenericRead, kOpenExisting);
    char buffer[16] = {};
    std::uint32_t read = 0;
    EXPECT_TRUE(platform.ReadFile(copy, buffer, sizeof(buffer), &read));
    EXPECT_EQ(std::string(buffer, read), "original");
    EXPECT_TRUE(platform.CloseHandle(copy));
}

// The editors tell a file they may not open from one that is not there by its attributes.
TEST_F(FileCallsTest, AFileHeldWithoutSharingStillHasItsAttributes) {
    const std::string a = folder + "\\a.dat";
    EXPECT_EQ(platform.GetFileAttributesA(a.c_str()), kInvalidFileAttributes);
    EXPECT_EQ(platform.GetLastError(), kErrorFileNotFound);
    Write(a, "held");
    const FileHandle held = Open(a, kGenericRead, kOpenExisting);
    EXPECT_EQ(Open(a, kGenericRead, kOpenExisting), kInvalidHandleValue);
    EXPECT_EQ(platform.GetLastError(), kErrorSharingViolation);
    EXPECT_NE(platform.GetFileAttributesA(a.c_str()), kInvalidFileAttributes);
    EXPECT_TRUE(platform.CloseHandle(held));
}

// The stand-in refuses file paths of MAX_PATH characters or more, as Windows documents for the
// ANSI calls (Wine takes one character more), and the core names the new file of a save so that
// it never needs more than the file it replaces.
TEST_F(FileCallsTest, PathOf259CharactersWorksAndTwoMoreAreRefused) {
    const std::string name = "\\Sequence.dat";
    const std::string deep =
        folder + "\\" + std::string(MAX_PATH - 1 - folder.size() - 1 - name.size(), 'd');
    ASSERT_TRUE(::CreateDirectoryA(deep.c_str(), nullptr));
    const std::string longest = deep + name;
    ASSERT_EQ(longest.size(), static_cast<std::size_t>(MAX_PATH - 1));
    Write(longest, "x");
    EXPECT_EQ(Open(longest + "xx", kGenericWrite, kCreateAlways), kInvalidHandleValue);
    EXPECT_EQ(platform.GetLastError(), kErrorFilenameExcedRange);
    EXPECT_TRUE(platform.DeleteFileA(longest.c_str()));
    ::RemoveDirectoryA(deep.c_str());
}

TEST(ModulePathTest, ConfigPathLiesBesideTheExecutable) {
    Win32Platform platform;
    char path[kMaxPath] = {};
    const ModuleHandle module = platform.GetModuleHandleA(nullptr);
    const std::uint32_t length = platform.GetModuleFileNameA(module, path, kMaxPath);
    ASSERT_GT(length, 0u);
    const std::string executable(path, length);
    EXPECT_EQ(executable.substr(executable.rfind('\\') + 1), "pavix_win32_tests.exe");
    EXPECT_TRUE(platform.PathRemoveFileSpecA(path));
    EXPECT_TRUE(platform.PathAppendA(path, "Config.dat"));
    EXPECT_EQ(std::string(path), executable.substr(0, executable.rfind('\\')) + "\\Config.dat");
}

struct PathCase {
    const char* path;
    const char* more;  // nullptr: PathRemoveFileSpecA
    bool result;
    const char* expected;
};

class PathHelpersTest : public testing::TestWithParam<PathCase> {};

TEST_P(PathHelpersTest, MatchTheStandIn) {
    const PathCase& test = GetParam();
    Win32Platform platform;
    char path[kMaxPath] = {};
    std::strcpy(path, test.path);
    const bool result = test.more == nullptr ? platform.PathRemoveFileSpecA(path)
                                             : platform.PathAppendA(path, test.more);
    EXPECT_EQ(result, test.result);
    EXPECT_STREQ(path, test.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Win32, PathHelpersTest,
    testing::Values(PathCase{"C:\\Pavix\\Pavix.exe", nullptr, true, "C:\\Pavix"},
                    PathCase{"C:\\Pavix.exe", nullptr, true, "C:\\"},
                    PathCase{"C:\\", nullptr, false, "C:\\"},
                    PathCase{"C:\\Pavix", "Config.dat", true, "C:\\Pavix\\Config.dat"},
                    PathCase{"C:\\Pavix\\", "\\se\\match.wav", true, "C:\\Pavix\\se\\match.wav"}));

}  // namespace
}  // namespace pavix
