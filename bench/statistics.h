// Every benchmark reports, besides Google Benchmark's mean, median and spread, the fastest and the
// slowest of its repetitions.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace pavix::bench {

inline void MinAndMax(benchmark::internal::Benchmark* benchmark) {
    benchmark->ComputeStatistics("min", [](const std::vector<double>& values) {
        return *std::min_element(values.begin(), values.end());
    });
    benchmark->ComputeStatistics("max", [](const std::vector<double>& values) {
        return *std::max_element(values.begin(), values.end());
    });
}

}  // namespace pavix::bench
