// Reading and writing Sequence.dat move the bytes through the platform in 64 KiB chunks, as raw
// I/O of the same bytes would, and cost little more than that raw I/O (plus, for reading, the
// building of the sequences, which any reader has to do). The stand-in runs with recording off
// for the timings, so that only the work counts; timings are checked in optimised builds only.
#include "storage/sequence_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "support/data_files.h"

#if defined(__SANITIZE_ADDRESS__)
#define PAVIX_TIMING_MEANINGFUL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PAVIX_TIMING_MEANINGFUL 0
#endif
#endif
#if !defined(PAVIX_TIMING_MEANINGFUL)
#if defined(NDEBUG)
#define PAVIX_TIMING_MEANINGFUL 1
#else
#define PAVIX_TIMING_MEANINGFUL 0
#endif
#endif

namespace pavix {
namespace {

using fake::Call;
using fake::FakePlatform;
using testing::Builtin;
using testing::External;
using testing::SequenceFileBytes;
using testing::SequenceSpec;
using Clock = std::chrono::steady_clock;

constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
constexpr const char* kNewSequencePath = "C:\\Pavix\\Sequence.dat.new";
constexpr std::uint32_t kChunk = 64 * 1024;
constexpr int kRecords = 20000;
constexpr double kAllowedFactor = 3.0;

// Records as a user writes them: a name, two chords, a built-in and a program to start.
std::vector<SequenceSpec> TypicalSpecs() {
    std::vector<SequenceSpec> specs;
    for (int i = 0; i < kRecords; ++i) {
        specs.push_back(
            {"Start the editor " + std::to_string(i),
             {{kModControl | kModAlt, 'E'},
              {kModControl | kModAlt, static_cast<std::uint16_t>('0' + i % 10)}},
             {Builtin(i % kBuiltinCommandCount),
              External("C:\\Program Files\\Editor\\editor.exe",
                       "--new-window C:\\Notes\\" + std::to_string(i) + ".txt", "C:\\Notes")}});
    }
    return specs;
}

void Fill(Sequence& sequence, const SequenceSpec& spec) {
    sequence.SetName(spec.name);
    for (const auto& key : spec.keys) {
        sequence.AppendKey(KeyChord{key.modifiers, key.key});
    }
    for (const auto& command : spec.commands) {
        if (command.builtin) {
            sequence.AppendCommand(std::make_unique<BuiltinCommand>(command.id));
        } else {
            sequence.AppendCommand(std::make_unique<ExternalCommand>(
                command.path, command.parameter, command.directory));
        }
    }
}

// The best of several runs of each, taken in turns so that a busy machine slows both alike:
// what the code costs when nothing else disturbs it.
template <typename Work, typename Baseline>
std::pair<double, double> BestSeconds(Work work, Baseline baseline) {
    const auto seconds = [](auto& job) {
        const auto start = Clock::now();
        job();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    double bestWork = 1e9;
    double bestBaseline = 1e9;
    for (int run = 0; run < 9; ++run) {
        bestWork = std::min(bestWork, seconds(work));
        bestBaseline = std::min(bestBaseline, seconds(baseline));
    }
    return {bestWork, bestBaseline};
}

std::size_t Chunks(std::size_t size) {
    return (size + kChunk - 1) / kChunk;
}

class SequenceFileSpeedTest : public ::testing::Test {
  protected:
    void SetUp() override {
        specs = TypicalSpecs();
        for (const auto& spec : specs) {
            auto sequence = std::make_unique<Sequence>();
            Fill(*sequence, spec);
            list.Append(std::move(sequence));
        }
        bytes = SequenceFileBytes(specs);
    }

    void RawRead() {
        const FileHandle file = platform.CreateFileA(kSequencePath, kGenericRead, 0, kOpenExisting,
                                                     kFileAttributeNormal);
        std::string buffer(kChunk, '\0');
        std::uint32_t got = 0;
        std::size_t total = 0;
        while (platform.ReadFile(file, &buffer[0], kChunk, &got) && got > 0) {
            total += got;
        }
        platform.CloseHandle(file);
        ASSERT_EQ(total, bytes.size());
    }

    void RawWrite() {
        const FileHandle file = platform.CreateFileA(kNewSequencePath, kGenericWrite, 0,
                                                     kCreateAlways, kFileAttributeNormal);
        for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
            const auto piece =
                static_cast<std::uint32_t>(std::min<std::size_t>(kChunk, bytes.size() - at));
            std::uint32_t written = 0;
            platform.WriteFile(file, bytes.data() + at, piece, &written);
        }
        platform.FlushFileBuffers(file);
        platform.CloseHandle(file);
        platform.MoveFileExA(kNewSequencePath, kSequencePath,
                             kMoveFileReplaceExisting | kMoveFileWriteThrough);
    }

    // As the engine reads: one reused sequence, cleared after each record.
    void ReadAsTheEngine() {
        SequenceFile file(platform);
        ASSERT_EQ(file.Open(false), kFileOk);
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
        SequenceFile file(platform);
        ASSERT_EQ(file.Open(true), kFileOk);
        for (std::size_t i = 0; i < list.Size(); ++i) {
            ASSERT_TRUE(file.Write(list.At(i)));
        }
        ASSERT_TRUE(file.Close());
    }

    FakePlatform platform;
    std::vector<SequenceSpec> specs;
    SequenceList list;
    std::string bytes;
};

TEST_F(SequenceFileSpeedTest, ReadingMovesTheBytesInChunks) {
    platform.files[kSequencePath] = bytes;
    ReadAsTheEngine();
    const auto reads = platform.CallsNamed("ReadFile");
    EXPECT_EQ(reads.size(), Chunks(bytes.size()) + 1);  // and one that finds the end
    for (const Call& call : reads) {
        EXPECT_EQ(call.args[1], std::to_string(kChunk));
    }
}

TEST_F(SequenceFileSpeedTest, WritingMovesTheBytesInChunks) {
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

TEST_F(SequenceFileSpeedTest, ReadingCostsLittleMoreThanRawReadsAndBuildingTheSequences) {
    platform.recording = false;
    platform.files[kSequencePath] = bytes;
    const auto [read, raw] = BestSeconds([&] { ReadAsTheEngine(); },
                                         [&] {
                                             RawRead();
                                             Sequence sequence;
                                             for (const auto& spec : specs) {
                                                 Fill(sequence, spec);
                                                 sequence.Clear();
                                             }
                                         });
    std::printf("read %.0f us; raw read and building the sequences %.0f us (%zu bytes)\n",
                read * 1e6, raw * 1e6, bytes.size());
    if (!PAVIX_TIMING_MEANINGFUL) {
        GTEST_SKIP() << "timings are checked in optimised builds without sanitizers";
    }
    EXPECT_LT(read, kAllowedFactor * raw);
}

TEST_F(SequenceFileSpeedTest, WritingCostsLittleMoreThanRawWrites) {
    platform.recording = false;
    const auto [write, raw] = BestSeconds([&] { WriteAsTheEditor(); }, [&] { RawWrite(); });
    ASSERT_EQ(platform.files[kSequencePath], bytes);
    std::printf("write %.0f us; raw write %.0f us (%zu bytes)\n", write * 1e6, raw * 1e6,
                bytes.size());
    if (!PAVIX_TIMING_MEANINGFUL) {
        GTEST_SKIP() << "timings are checked in optimised builds without sanitizers";
    }
    EXPECT_LT(write, kAllowedFactor * raw);
}

}  // namespace
}  // namespace pavix
