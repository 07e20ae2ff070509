// The fuzzers' assertion: a broken expectation prints where and why, then aborts, so that
// libFuzzer keeps the input that led there as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

#define PAVIX_FUZZ_CHECK(condition)                                                            \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
