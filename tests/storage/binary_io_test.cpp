#include "storage/binary_io.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "support/data_files.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakePlatform;
using testing::Int32;

constexpr const char* kPath = "C:\\data.bin";

class BinaryIoTest : public ::testing::Test {
  protected:
    FileHandle OpenForReading(const std::string& contents) {
        platform.files[kPath] = contents;
        return platform.CreateFileA(kPath, kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    }
    FileHandle OpenForWriting() {
        return platform.CreateFileA(kPath, kGenericWrite, 0, kCreateAlways, kFileAttributeNormal);
    }
    std::size_t ReadCalls() const { return platform.CallsNamed("ReadFile").size(); }
    std::size_t WriteCalls() const { return platform.CallsNamed("WriteFile").size(); }

    FakePlatform platform;
};

TEST_F(BinaryIoTest, ReadsLittleEndianValuesAcrossBufferBoundaries) {
    std::string contents(kFileChunkSize - 2, 'x');
    contents += Int32(-2) + std::string("\x34\x12", 2);
    const FileHandle file = OpenForReading(contents);
    FileReader reader(platform, file, contents.size());
    std::string skipped;
    ASSERT_TRUE(reader.ReadText(kFileChunkSize - 2, skipped));
    std::int32_t value = 0;
    ASSERT_TRUE(reader.ReadInt32(value));  // two bytes from each buffer
    EXPECT_EQ(value, -2);
    std::uint16_t half = 0;
    ASSERT_TRUE(reader.ReadUInt16(half));
    EXPECT_EQ(half, 0x1234);
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.Failed());
}

TEST_F(BinaryIoTest, ManySmallReadsCostOneReadFilePerChunk) {
    std::string contents;
    for (int i = 0; i < 50000; ++i) {
        contents += Int32(i);
    }
    const FileHandle file = OpenForReading(contents);
    FileReader reader(platform, file, contents.size());
    for (int i = 0; i < 50000; ++i) {
        std::int32_t value = 0;
        ASSERT_TRUE(reader.ReadInt32(value));
        ASSERT_EQ(value, i);
    }
    EXPECT_TRUE(reader.AtEnd());
    // 200000 bytes in 64 KiB chunks, and one read that finds the end.
    EXPECT_EQ(ReadCalls(), 5u);
}

TEST_F(BinaryIoTest, ShortReadIsStickyAndNotTheEnd) {
    const FileHandle file = OpenForReading("abc");
    FileReader reader(platform, file, 3);
    std::int32_t value = 0;
    EXPECT_FALSE(reader.ReadInt32(value));
    EXPECT_TRUE(reader.Failed());
    EXPECT_FALSE(reader.AtEnd());
    char byte = 0;
    EXPECT_FALSE(reader.Read(&byte, 1));
}

TEST_F(BinaryIoTest, EmptyFileIsAtItsEnd) {
    const FileHandle file = OpenForReading("");
    FileReader reader(platform, file, 0);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(BinaryIoTest, FailingReadIsNotTheEnd) {
    const FileHandle file = OpenForReading("");
    platform.Script("ReadFile", 0, kErrorAccessDenied);
    FileReader reader(platform, file, kUnknownFileSize);
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_TRUE(reader.Failed());
}

TEST_F(BinaryIoTest, TextLongerThanTheRestOfTheFileIsRefusedWithoutReading) {
    const FileHandle file = OpenForReading(std::string(100, 'a'));
    FileReader reader(platform, file, 100);
    std::string text = "previous";
    EXPECT_FALSE(reader.ReadText(101, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(ReadCalls(), 0u);
    EXPECT_TRUE(reader.Failed());
}

TEST_F(BinaryIoTest, TextOfUnknownSizeFileStopsWhereTheBytesStop) {
    const FileHandle file = OpenForReading(std::string(200000, 'a'));
    FileReader reader(platform, file, kUnknownFileSize);
    EXPECT_EQ(reader.Remaining(), kUnknownFileSize);
    std::string text;
    EXPECT_FALSE(reader.ReadText(0x7FFFFFFF, text));
    EXPECT_LE(text.capacity(), 2u * 200000u + kFileChunkSize);
}

TEST_F(BinaryIoTest, LongTextIsReadStraightIntoPlaceAndCutAtItsFirstZero) {
    std::string contents(300000, 'b');
    contents[250000] = '\0';
    const FileHandle file = OpenForReading(contents);
    FileReader reader(platform, file, contents.size());
    std::string text;
    ASSERT_TRUE(reader.ReadText(contents.size(), text));
    EXPECT_EQ(text, std::string(250000, 'b'));
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(BinaryIoTest, WriterBuffersSmallWritesIntoChunks) {
    const FileHandle file = OpenForWriting();
    FileWriter writer(platform, file);
    for (int i = 0; i < 50000; ++i) {
        writer.WriteInt32(i);
    }
    EXPECT_EQ(WriteCalls(), 3u);  // three full buffers so far
    writer.WriteUInt16(0xABCD);
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(WriteCalls(), 4u);
    EXPECT_TRUE(writer.Flush());  // nothing left: no call
    EXPECT_EQ(WriteCalls(), 4u);
    platform.CloseHandle(file);
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        expected += Int32(i);
    }
    expected += std::string("\xCD\xAB", 2);
    EXPECT_EQ(platform.files[kPath], expected);
}

TEST_F(BinaryIoTest, WriterPassesLargePiecesStraightThroughInOrder) {
    const FileHandle file = OpenForWriting();
    FileWriter writer(platform, file);
    writer.Write("head", 4);
    const std::string big(200000, 'z');
    writer.Write(big.data(), big.size());
    writer.Write("tail", 4);
    EXPECT_TRUE(writer.Flush());
    platform.CloseHandle(file);
    EXPECT_EQ(platform.files[kPath], "head" + big + "tail");
    const auto writes = platform.CallsNamed("WriteFile");
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].args[1], "65536");
    EXPECT_EQ(writes[1].args[1], "65536");
    EXPECT_EQ(writes[2].args[1], "65536");
    EXPECT_EQ(writes[3].args[1], std::to_string(4 + 200000 + 4 - 3 * 65536));
}

TEST_F(BinaryIoTest, ShortWriteIsStickyAndStopsAllLaterWrites) {
    platform.LimitWrites(kPath, 10);
    const FileHandle file = OpenForWriting();
    FileWriter writer(platform, file);
    writer.Write(std::string(kFileChunkSize, 'a').data(), kFileChunkSize);
    EXPECT_TRUE(writer.Failed());
    writer.WriteInt32(1);
    EXPECT_FALSE(writer.Flush());
    EXPECT_EQ(WriteCalls(), 1u);
}

TEST_F(BinaryIoTest, WriteReportedDoneButShortIsAFailure) {
    const FileHandle file = OpenForWriting();
    platform.Script("WriteFile", 1);  // "succeeds" having written nothing
    FileWriter writer(platform, file);
    writer.WriteInt32(1);
    EXPECT_FALSE(writer.Flush());
}

TEST_F(BinaryIoTest, ReadExactNeedsEveryByte) {
    const FileHandle file = OpenForReading("abcdef");
    char buffer[4];
    EXPECT_TRUE(ReadExact(platform, file, buffer, 4));
    EXPECT_FALSE(ReadExact(platform, file, buffer, 4));
}

TEST_F(BinaryIoTest, SizeOfFileTellsAFailureFromALargeSize) {
    const FileHandle file = OpenForReading(std::string(1000, 'a'));
    EXPECT_EQ(SizeOfFile(platform, file), 1000u);
    platform.Script("GetFileSize", 0xFFFFFFFF, 0, {}, 1);
    EXPECT_EQ(SizeOfFile(platform, file), 0xFFFFFFFFu);
    platform.Script("GetFileSize", 0xFFFFFFFF, 6, {}, 1);
    EXPECT_EQ(SizeOfFile(platform, file), kUnknownFileSize);
}

TEST(LittleEndianTest, StoresAndLoadsBothWidths) {
    std::uint8_t bytes[4];
    StoreInt32(bytes, 0x01020304);
    EXPECT_EQ(bytes[0], 4);
    EXPECT_EQ(bytes[3], 1);
    EXPECT_EQ(LoadInt32(bytes), 0x01020304);
    StoreInt32(bytes, -1);
    EXPECT_EQ(LoadInt32(bytes), -1);
    StoreUInt16(bytes, 0xFFFE);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(LoadUInt16(bytes), 0xFFFE);
}

}  // namespace
}  // namespace pavix
