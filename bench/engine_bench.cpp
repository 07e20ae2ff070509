// The engine at 10 to 100,000 sequences through the stand-in with logging off: enabling from
// Sequence.dat, and one press of each kind. Presses are timed alone (manual time); the presses
// that lead up to them and the Reset after them are not.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <set>

#include "bench/bench_data.h"
#include "bench/statistics.h"
#include "editors/error_boxes.h"
#include "engine/sequence_engine.h"

namespace pavix::bench {
namespace {

constexpr WindowHandle kWindow = 0x1234;
using Clock = std::chrono::steady_clock;

class EnabledEngine {
  public:
    explicit EnabledEngine(std::size_t count)
        : list_(MakeSequences(count)), boxes_(platform_), engine_(platform_, boxes_) {
        PrepareFiles(platform_, SequenceFileBytes(list_));
        engine_.SetWindow(kWindow);
        engine_.Enable();
    }

    SequenceEngine& Engine() { return engine_; }
    HotkeyId Id(KeyChord chord) const { return engine_.Registry().Hotkeys().at(chord); }
    // The popular first chord, then the rest of the last sequence that starts with it.
    HotkeyId First() const { return Id(MostPopularFirstChord()); }
    HotkeyId Second() const { return Id(LastPopular().Keys()[1]); }
    HotkeyId Third() const { return Id(LastPopular().Keys()[2]); }
    // A registered chord that is no sequence's first or second chord: it mismatches while idle
    // and after any first key.
    HotkeyId ThirdOnly() const {
        std::set<KeyChord> early;
        for (std::size_t i = 0; i < list_.Size(); ++i) {
            early.insert(list_.At(i).Keys()[0]);
            early.insert(list_.At(i).Keys()[1]);
        }
        for (const auto& [chord, id] : engine_.Registry().Hotkeys()) {
            if (early.count(chord) == 0) {
                return id;
            }
        }
        return kNoHotkey;
    }

  private:
    const Sequence& LastPopular() const {
        std::size_t last = 0;
        for (std::size_t i = 0; i < list_.Size(); ++i) {
            if (list_.At(i).Keys()[0] == MostPopularFirstChord()) {
                last = i;
            }
        }
        return list_.At(last);
    }

    SequenceList list_;
    fake::FakePlatform platform_;
    ErrorBoxes boxes_;
    SequenceEngine engine_;
};

void Sizes(benchmark::internal::Benchmark* benchmark) {
    for (int count : {10, 1000, 10000, 100000}) {
        benchmark->Arg(count);
    }
    MinAndMax(benchmark);
}

double SecondsOf(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Bytes of heap in use, small blocks and mapped ones alike (glibc).
double HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// What the enabled engine holds per sequence: its matchers with their commands, the index and
// the registry, measured from a disabled engine.
double HeapPerSequence(SequenceEngine& engine) {
    engine.Disable();
    const double disabled = HeapInUse();
    engine.Enable();
    return (HeapInUse() - disabled) / static_cast<double>(engine.MatcherCount());
}

void BM_Enable(benchmark::State& state) {
    EnabledEngine fixture(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(fixture.Engine().Enable());
    }
    if (fixture.Engine().MatcherCount() != static_cast<std::size_t>(state.range(0))) {
        state.SkipWithError("not every sequence was enabled");
    }
    state.counters["sequences"] = static_cast<double>(fixture.Engine().MatcherCount());
    state.counters["hotkeys"] = static_cast<double>(fixture.Engine().Registry().Hotkeys().size());
    state.counters["heap_per_sequence"] = HeapPerSequence(fixture.Engine());
}
BENCHMARK(BM_Enable)->Apply(Sizes)->Unit(benchmark::kMillisecond);

// Times one press after `lead` (untimed) and checks its outcome once; Reset follows each press.
template <typename Lead>
void TimePress(benchmark::State& state, EnabledEngine& fixture, HotkeyId id, Lead lead,
               HotkeyOutcome expected) {
    SequenceEngine& engine = fixture.Engine();
    lead();
    const std::size_t before = engine.CandidateIndexes().size();
    if (engine.OnHotkey(id) != expected) {
        state.SkipWithError("unexpected outcome");
        return;
    }
    const std::size_t after = engine.CandidateIndexes().size();
    engine.Reset();
    for (auto _ : state) {
        lead();
        const auto start = Clock::now();
        const HotkeyOutcome outcome = engine.OnHotkey(id);
        const auto stop = Clock::now();
        benchmark::DoNotOptimize(outcome);
        engine.Reset();
        state.SetIterationTime(SecondsOf(stop - start));
    }
    state.counters["candidates_before"] = static_cast<double>(before);
    state.counters["candidates_after"] = static_cast<double>(after);
}

void BM_FirstKey(benchmark::State& state) {
    EnabledEngine fixture(static_cast<std::size_t>(state.range(0)));
    TimePress(
        state, fixture, fixture.First(), [] {}, kFirstKey);
}
BENCHMARK(BM_FirstKey)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_NextKey(benchmark::State& state) {
    EnabledEngine fixture(static_cast<std::size_t>(state.range(0)));
    SequenceEngine& engine = fixture.Engine();
    const HotkeyId first = fixture.First();
    TimePress(
        state, fixture, fixture.Second(), [&] { engine.OnHotkey(first); }, kNextKey);
}
BENCHMARK(BM_NextKey)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A chord that starts nothing, pressed while idle.
void BM_MismatchIdle(benchmark::State& state) {
    EnabledEngine fixture(static_cast<std::size_t>(state.range(0)));
    TimePress(
        state, fixture, fixture.ThirdOnly(), [] {}, kMismatch);
}
BENCHMARK(BM_MismatchIdle)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same chord after the popular first key: only the candidates are stepped.
void BM_MismatchSeeking(benchmark::State& state) {
    EnabledEngine fixture(static_cast<std::size_t>(state.range(0)));
    SequenceEngine& engine = fixture.Engine();
    const HotkeyId first = fixture.First();
    TimePress(
        state, fixture, fixture.ThirdOnly(), [&] { engine.OnHotkey(first); }, kMismatch);
}
BENCHMARK(BM_MismatchSeeking)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The third chord completes the sequence and runs its two commands.
void BM_Completion(benchmark::State& state) {
    EnabledEngine fixture(static_cast<std::size_t>(state.range(0)));
    SequenceEngine& engine = fixture.Engine();
    const HotkeyId first = fixture.First();
    const HotkeyId second = fixture.Second();
    TimePress(
        state, fixture, fixture.Third(),
        [&] {
            engine.OnHotkey(first);
            engine.OnHotkey(second);
        },
        kDone);
}
BENCHMARK(BM_Completion)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pavix::bench
