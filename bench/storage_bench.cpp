// Sequence.dat of 10,000 records and Config.dat, written and read by the program and, for
// reference in the same run, as the same bytes moved through the same stand-in FileApi in 64 KiB
// pieces with nothing parsed or built: the ratio of the two is what our own code costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "bench/bench_data.h"
#include "bench/statistics.h"
#include "editors/error_boxes.h"
#include "platform/constants.h"
#include "storage/sequence_file.h"
#include "storage/settings.h"

namespace pavix::bench {
namespace {

constexpr std::size_t kRecords = 10000;
constexpr std::uint32_t kPiece = 64 * 1024;

struct Files {
    Files() : list(MakeSequences(kRecords)), bytes(SequenceFileBytes(list)) {
        PrepareFiles(platform, bytes);
        ErrorBoxes namesBoxes(platform);
        SequenceFile names(platform, namesBoxes);
        path = names.Path();
        newPath = path + ".new";
        ErrorBoxes settingsBoxes(platform);
        Settings settings(platform, settingsBoxes);
        configPath = settings.Path();
        newConfigPath = configPath + ".new";
    }
    SequenceList list;
    std::string bytes;
    fake::FakePlatform platform;
    std::string path, newPath, configPath, newConfigPath;
};

// What a save needs at the least: create the new file, write, flush, close, put it in place.
void RawWrite(FileApi& files, const std::string& newPath, const std::string& path,
              const std::string& bytes) {
    const FileHandle file =
        files.CreateFileA(newPath.c_str(), kGenericWrite, 0, kCreateAlways, kFileAttributeNormal);
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        std::uint32_t written = 0;
        const auto piece =
            static_cast<std::uint32_t>(std::min<std::size_t>(kPiece, bytes.size() - at));
        files.WriteFile(file, bytes.data() + at, piece, &written);
    }
    files.FlushFileBuffers(file);
    files.CloseHandle(file);
    files.MoveFileExA(newPath.c_str(), path.c_str(),
                      kMoveFileReplaceExisting | kMoveFileWriteThrough);
}

// What a load needs at the least: open, ask the size, read to the end, close.
std::size_t RawRead(FileApi& files, const std::string& path, std::string& buffer) {
    const FileHandle file =
        files.CreateFileA(path.c_str(), kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    std::uint32_t high = 0;
    benchmark::DoNotOptimize(files.GetFileSize(file, &high));
    std::size_t total = 0;
    std::uint32_t got = 0;
    while (files.ReadFile(file, &buffer[0], kPiece, &got) && got > 0) {
        total += got;
    }
    files.CloseHandle(file);
    return total;
}

void BM_SequenceFileWrite(benchmark::State& state) {
    Files files;
    for (auto _ : state) {
        ErrorBoxes fileBoxes(files.platform);
        SequenceFile file(files.platform, fileBoxes);
        file.Open(true);
        for (std::size_t i = 0; i < files.list.Size(); ++i) {
            file.Write(files.list.At(i));
        }
        file.Close();
    }
    if (files.platform.files[files.path] != files.bytes) {
        state.SkipWithError("the file written differs");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes.size()));
}
BENCHMARK(BM_SequenceFileWrite)->Apply(MinAndMax)->Unit(benchmark::kMicrosecond);

void BM_SequenceFileRawWrite(benchmark::State& state) {
    Files files;
    for (auto _ : state) {
        RawWrite(files.platform, files.newPath, files.path, files.bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes.size()));
}
BENCHMARK(BM_SequenceFileRawWrite)->Apply(MinAndMax)->Unit(benchmark::kMicrosecond);

// The engine's way: the records read whole and each checked as it is walked; nothing is built.
void BM_SequenceFileReadStored(benchmark::State& state) {
    Files files;
    std::size_t count = 0;
    for (auto _ : state) {
        ErrorBoxes fileBoxes(files.platform);
        SequenceFile file(files.platform, fileBoxes);
        file.Open(false);
        StoredRecords records = file.TakeRecords();
        file.Close();
        StoredRecord record;
        count = 0;
        while (records.Next(record)) {
            benchmark::DoNotOptimize(record.commands.bytes.data());
            ++count;
        }
    }
    if (count != kRecords) {
        state.SkipWithError("not every record was read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes.size()));
}
BENCHMARK(BM_SequenceFileReadStored)->Apply(MinAndMax)->Unit(benchmark::kMicrosecond);

// The editor's way: a fresh sequence per record, kept in the list (freeing it is not timed).
void BM_SequenceFileReadIntoList(benchmark::State& state) {
    Files files;
    std::size_t count = 0;
    for (auto _ : state) {
        auto list = std::make_unique<SequenceList>();
        ErrorBoxes fileBoxes(files.platform);
        SequenceFile file(files.platform, fileBoxes);
        file.Open(false);
        for (;;) {
            auto sequence = std::make_unique<Sequence>();
            if (!file.Read(*sequence)) {
                break;
            }
            list->Append(std::move(sequence));
        }
        file.Close();
        count = list->Size();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    if (count != kRecords) {
        state.SkipWithError("not every record was read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes.size()));
}
BENCHMARK(BM_SequenceFileReadIntoList)->Apply(MinAndMax)->Unit(benchmark::kMicrosecond);

// Only the objects that reading must create, made from values already in memory: with the raw
// read, the least that reading Sequence.dat can cost.
void BuildSequence(const Sequence& from, Sequence& to) {
    to.SetName(std::string(from.Name()));
    for (KeyChord key : from.Keys()) {
        to.AppendKey(key);
    }
    for (const auto& command : from.Commands()) {
        to.AppendCommand(Clone(*command));
    }
}

void BM_SequenceBuildIntoList(benchmark::State& state) {
    Files files;
    for (auto _ : state) {
        auto list = std::make_unique<SequenceList>();
        for (std::size_t i = 0; i < files.list.Size(); ++i) {
            auto sequence = std::make_unique<Sequence>();
            BuildSequence(files.list.At(i), *sequence);
            list->Append(std::move(sequence));
        }
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SequenceBuildIntoList)->Apply(MinAndMax)->Unit(benchmark::kMicrosecond);

void BM_SequenceFileRawRead(benchmark::State& state) {
    Files files;
    std::string buffer(kPiece, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(RawRead(files.platform, files.path, buffer));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes.size()));
}
BENCHMARK(BM_SequenceFileRawRead)->Apply(MinAndMax)->Unit(benchmark::kMicrosecond);

void BM_ConfigLoad(benchmark::State& state) {
    Files files;
    ErrorBoxes settingsBoxes(files.platform);
    Settings settings(files.platform, settingsBoxes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(settings.Load());
    }
    if (settings.Load() != FileResult::kOk) {
        state.SkipWithError("Config.dat did not load");
    }
}
BENCHMARK(BM_ConfigLoad)->Apply(MinAndMax);

void BM_ConfigRawRead(benchmark::State& state) {
    Files files;
    std::string buffer(kPiece, '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(RawRead(files.platform, files.configPath, buffer));
    }
}
BENCHMARK(BM_ConfigRawRead)->Apply(MinAndMax);

void BM_ConfigSave(benchmark::State& state) {
    Files files;
    ErrorBoxes settingsBoxes(files.platform);
    Settings settings(files.platform, settingsBoxes);
    settings.Load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(settings.Save());
    }
}
BENCHMARK(BM_ConfigSave)->Apply(MinAndMax);

void BM_ConfigRawWrite(benchmark::State& state) {
    Files files;
    const std::string bytes = files.platform.files[files.configPath];
    for (auto _ : state) {
        RawWrite(files.platform, files.newConfigPath, files.configPath, bytes);
    }
}
BENCHMARK(BM_ConfigRawWrite)->Apply(MinAndMax);

}  // namespace
}  // namespace pavix::bench
