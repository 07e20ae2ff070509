// The conflict check that the sequence editor runs after every edit, on one very long sequence
// and on many short ones sharing their first chords. Building the list is not timed.
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "bench/statistics.h"
#include "engine/conflicts.h"

namespace pavix::bench {
namespace {

void TimeConflicts(benchmark::State& state, const SequenceList& list) {
    std::size_t marked = 0;
    for (auto _ : state) {
        const std::vector<Conflict> conflicts = FindConflicts(list, std::nullopt);
        marked = 0;
        for (const Conflict& conflict : conflicts) {
            marked += conflict.kind != ConflictKind::kNone;
        }
        benchmark::DoNotOptimize(marked);
    }
    state.counters["sequences"] = static_cast<double>(list.Size());
    state.counters["marked"] = static_cast<double>(marked);
}

void BM_ConflictsOneSequence(benchmark::State& state) {
    TimeConflicts(state, MakeLongSequence(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ConflictsOneSequence)->Arg(100000)->Apply(MinAndMax)->Unit(benchmark::kMillisecond);

void BM_ConflictsShortSequences(benchmark::State& state) {
    TimeConflicts(state, MakeShortSequences(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ConflictsShortSequences)->Arg(100000)->Apply(MinAndMax)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pavix::bench
