# Pavix: `make run` builds the Windows program and starts it under Wine; `make test` runs every
# test (the native ones also under ASan+UBSan, and a short run of each fuzzer). `make bench` and
# `make fuzz` measure and fuzz at length. All install what a fresh Debian machine lacks first
# (when run as root).

SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c

JOBS ?= 2
NATIVE_DIR := build/native
WIN32_DIR := build/win32
ASAN_DIR := build/asan
BENCH_DIR := build/bench
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 15
BENCH_REPETITIONS ?= 5
SOURCE_DIRS := model storage engine app editors resources platform tests bench fuzz

.PHONY: test run deps native win32 asan fuzzers bench bench-wine fuzz clean format

test: native asan fuzzers win32
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)
	fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS)
	source tools/wine-env.sh; trap pavix_wine_down EXIT; pavix_wine_up; \
	ctest --test-dir $(WIN32_DIR) --output-on-failure; \
	if [[ -f tests/e2e/run.sh ]]; then bash tests/e2e/run.sh $(WIN32_DIR)/Pavix.exe; fi

run: win32
	@echo "Pavix keeps Config.dat and Sequence.dat beside the executable, in $(CURDIR)/$(WIN32_DIR)/"
	source tools/wine-env.sh; trap pavix_wine_down EXIT; pavix_wine_up; \
	echo "Starting Pavix on display $$DISPLAY; choose Exit in its tray menu to end it."; \
	wine $(WIN32_DIR)/Pavix.exe

deps:
	@if [[ $$(id -u) -eq 0 ]]; then tools/install-deps.sh; \
	else echo "Not root: skipping tools/install-deps.sh (run it as root to install packages)."; fi

native: deps
	cmake -S . -B $(NATIVE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(NATIVE_DIR) -j $(JOBS)

win32: deps
	cmake -S . -B $(WIN32_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
	cmake --build $(WIN32_DIR) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPAVIX_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)

fuzzers: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVIX_FUZZERS=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)

fuzz: fuzzers
	fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAVIX_BENCHMARKS=ON \
	      -DBUILD_TESTING=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS) --target pavix_bench
	python3 bench/report.py $(BENCH_DIR)/bench/pavix_bench \
	        --repetitions $(BENCH_REPETITIONS) --out $(BENCH_DIR)

# The real Pavix.exe under Wine against a minimal Win32 program: start-up, press latency, idle
# memory and CPU, size and imports (results in build/bench-wine/).
bench-wine: win32
	bash bench/wine/run.sh $(WIN32_DIR)/Pavix.exe

clean:
	rm -rf $(NATIVE_DIR) $(WIN32_DIR) $(ASAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)

format:
	find $(SOURCE_DIRS) \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null \
	    | xargs -0 -r clang-format -i
