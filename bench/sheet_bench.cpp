// The sheet of all sequences and the hint window at 1,000 and 100,000 sequences, through the
// stand-in with logging off: opening the sheet (reading Sequence.dat, the conflict marks, the
// entries and the rows), one keystroke in its filter, and the hint window's rows after a first
// key. Each is measured on the benchmark data (eight popular first chords) and on a list whose
// first chords are spread over every modifier set and a hundred keys.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>

#include "app/hint_rows.h"
#include "bench/bench_data.h"
#include "bench/statistics.h"
#include "editors/error_boxes.h"
#include "editors/sequence_sheet.h"
#include "engine/sequence_engine.h"

namespace pavix::bench {
namespace {

constexpr WindowHandle kWindow = 0x1234;

SequenceList Sequences(const benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    return state.range(1) != 0 ? MakeSpreadSequences(count) : MakeSequences(count);
}

void Shapes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"sequences", "spread"});
    for (int count : {1000, 100000}) {
        benchmark->Args({count, 0});
        benchmark->Args({count, 1});
    }
    benchmark->Unit(benchmark::kMillisecond);
    MinAndMax(benchmark);
}

void Count(benchmark::State& state, const SequenceSheet& sheet) {
    state.counters["rows"] = static_cast<double>(sheet.Rows().size());
}

// A stand-in whose dialogs open on simulated controls, with Sequence.dat of the state's list.
void PrepareSheet(benchmark::State& state, fake::FakePlatform& platform) {
    platform.UseFakeDialogs();
    PrepareFiles(platform, SequenceFileBytes(Sequences(state)));
}

void BM_SheetOpen(benchmark::State& state) {
    fake::FakePlatform platform;
    PrepareSheet(state, platform);
    SequenceSheet sheet(platform);
    for (auto _ : state) {
        sheet.Show(kWindow, std::nullopt);
        sheet.Close();
    }
    sheet.Show(kWindow, std::nullopt);
    Count(state, sheet);
}
BENCHMARK(BM_SheetOpen)->Apply(Shapes);

// One keystroke that changes the filter between two texts with the same rows: every sequence
// (`match`), or none, after every text of every sequence was searched.
void TimeKeystroke(benchmark::State& state, const char* first, const char* second) {
    fake::FakePlatform platform;
    PrepareSheet(state, platform);
    SequenceSheet sheet(platform);
    sheet.Show(kWindow, std::nullopt);
    fake::FakeDialog& dialog = *platform.dialogs.Last(SequenceSheet::kTemplateId);
    bool odd = false;
    for (auto _ : state) {
        dialog.TypeAndReport(SequenceSheet::kFilterEdit, odd ? first : second);
        odd = !odd;
    }
    Count(state, sheet);
}

void BM_SheetKeystrokeAll(benchmark::State& state) {
    TimeKeystroke(state, "seq", "sequ");
}
BENCHMARK(BM_SheetKeystrokeAll)->Apply(Shapes);

void BM_SheetKeystrokeNone(benchmark::State& state) {
    TimeKeystroke(state, "zq", "zqx");
}
BENCHMARK(BM_SheetKeystrokeNone)->Apply(Shapes);

KeyChord MostCommonFirstChord(const SequenceList& list) {
    std::map<KeyChord, std::size_t> starts;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        ++starts[list.At(i).Keys().front()];
    }
    return std::max_element(starts.begin(), starts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

// The rows after the first chord that the most sequences start with.
void BM_HintRows(benchmark::State& state) {
    const SequenceList list = Sequences(state);
    fake::FakePlatform platform;
    PrepareFiles(platform, SequenceFileBytes(list));
    ErrorBoxes boxes(platform);
    SequenceEngine engine(platform, boxes);
    engine.SetWindow(kWindow);
    engine.Enable();
    engine.OnHotkey(engine.Registry().Hotkeys().at(MostCommonFirstChord(list)));
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = HintRows(platform, engine).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["candidates"] = static_cast<double>(engine.CandidateIndexes().size());
}
BENCHMARK(BM_HintRows)->Apply(Shapes);

}  // namespace
}  // namespace pavix::bench
