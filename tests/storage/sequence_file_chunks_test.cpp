// Reading and writing Sequence.dat move the bytes through the platform in 64 KiB chunks, as raw
// I/O of the same bytes would, however many small fields the records hold. (What that costs in
// time is measured by the benchmarks.)
#include "storage/sequence_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakePlatform;
using testing::Builtin;
using testing::External;
using testing::SequenceFileBytes;
using testing::SequenceSpec;

constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
constexpr std::uint32_t kChunk = 64 * 1024;
constexpr int kRecords = 20000;

// Records as a user writes them: a name, two chords, a built-in and a program to start.
std::vector<SequenceSpec> TypicalRecords() {
    std::vector<SequenceSpec> records;
    for (int i = 0; i < kRecords; ++i) {
        records.push_back(
            {"Start the editor " + std::to_string(i),
             {{kModControl | kModAlt, 'E'},
              {kModControl | kModAlt, static_cast<std::uint16_t>('0' + i % 10)}},
             {Builtin(i % kBuiltinCommandCount),
              External("C:\\Program Files\\Editor\\editor.exe",
                       "--new-window C:\\Notes\\" + std::to_string(i) + ".txt", "C:\\Notes")}});
    }
    return records;
}

void Fill(Sequence& sequence, const SequenceSpec& record) {
    sequence.SetName(record.name);
    for (const auto& key : record.keys) {
        sequence.AppendKey(KeyChord{key.modifiers, key.virtualKey});
    }
    for (const auto& command : record.commands) {
        if (command.builtin) {
            sequence.AppendCommand(std::make_unique<BuiltinCommand>(command.id));
        } else {
            sequence.AppendCommand(std::make_unique<ExternalCommand>(
                command.path, command.parameter, command.directory));
        }
    }
}

std::size_t Chunks(std::size_t size) {
    return (size + kChunk - 1) / kChunk;
}

class SequenceFileChunkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        records = TypicalRecords();
        for (const auto& record : records) {
            auto sequence = std::make_unique<Sequence>();
            Fill(*sequence, record);
            list.Append(std::move(sequence));
        }
        bytes = SequenceFileBytes(records);
    }

    // As the engine reads: one reused sequence, cleared after each record.
    void ReadAsTheEngine() {
        testing::WithErrorBoxes<SequenceFile> file(platform);
        ASSERT_EQ(file.Open(false), FileResult::kOk);
        Sequence sequence;
        int count = 0;
        while (file.Read(sequence)) {
            sequence.Clear();
            ++count;
        }
        ASSERT_FALSE(file.Damaged());
        ASSERT_EQ(count, kRecords);
    }

    void WriteAsTheEditor() {
        testing::WithErrorBoxes<SequenceFile> file(platform);
        ASSERT_EQ(file.Open(true), FileResult::kOk);
        for (std::size_t i = 0; i < list.Size(); ++i) {
            ASSERT_TRUE(file.Write(list.At(i)));
        }
        ASSERT_TRUE(file.Close());
    }

    FakePlatform platform;
    std::vector<SequenceSpec> records;
    SequenceList list;
    std::string bytes;
};

TEST_F(SequenceFileChunkTest, ReadingMovesTheBytesInChunks) {
    platform.files[kSequencePath] = bytes;
    ReadAsTheEngine();
    const auto reads = platform.CallsNamed("ReadFile");
    EXPECT_EQ(reads.size(), Chunks(bytes.size()) + 1);  // and one that finds the end
    for (const Call& call : reads) {
        EXPECT_EQ(call.args[1], std::to_string(kChunk));
    }
}

TEST_F(SequenceFileChunkTest, WritingMovesTheBytesInChunks) {
    WriteAsTheEditor();
    ASSERT_EQ(platform.files[kSequencePath], bytes);
    const auto writes = platform.CallsNamed("WriteFile");
    // The header goes out alone at Open; then every write but the last moves a whole chunk.
    ASSERT_EQ(writes.size(), 1 + Chunks(bytes.size() - 14));
    EXPECT_EQ(writes[0].args[1], "14");
    for (std::size_t i = 1; i + 1 < writes.size(); ++i) {
        EXPECT_EQ(writes[i].args[1], std::to_string(kChunk));
    }
}

}  // namespace
}  // namespace pavix
