# Pavix: `make run` builds the native Linux program (`make linux`: build/linux/pavix) and starts
# it on the X11 desktop, or on a private Xvfb where there is none; `make run-wine` builds the
# Windows program and starts it under Wine with a notification area of its own. `make test` runs
# every test (the native ones also under ASan+UBSan, a short run of each fuzzer, then the Windows
# programs under Wine: the 32-bit reference program where this kernel runs 32-bit programs, the
# 64-bit one everywhere; then the Linux program end to end on a private Xvfb, its Debian package,
# and the Wayland desktops' rules against the real desktop portal with the shared scenarios on a
# headless KDE session). `make dist` packages
# both Windows programs, `make deb` the Linux one for Debian, `make screenshots` takes the
# pictures in docs/images/, `make bench` and `make fuzz` measure and fuzz at length,
# `make bench-linux` measures the Linux program beside sxhkd. All install what a fresh Debian
# machine lacks first (when run as root).

SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c

JOBS ?= 2
VERSION := $(shell head -n 1 VERSION)
DEB := build/dist/pavix_$(VERSION)_amd64.deb
NATIVE_DIR := build/native
WIN32_DIR := build/win32
WIN64_DIR := build/win64
LINUX_DIR := build/linux
TEST_SUMMARY := build/test-summary.txt
ASAN_DIR := build/asan
BENCH_DIR := build/bench
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 15
BENCH_REPETITIONS ?= 5
SOURCE_DIRS := model storage engine wording app editors resources platform tests bench fuzz tools/tray_host \
               tools/pavix_seq

.PHONY: test run run-wine deps native linux samples win32 win64 windows asan fuzzers bench \
        bench-wine bench-linux fuzz clean format dist screenshots deb

# Both Windows programs are always built; which of them run under Wine depends on the kernel
# (tools/wine-env.sh probes it and says so in one line). The Linux program's end-to-end suite
# follows on a private Xvfb; each end-to-end suite's summary line names its platform and all are
# repeated at the end.
test: native linux asan fuzzers windows deb
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)
	fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SMOKE_SECONDS)
	rm -f $(TEST_SUMMARY)
	PAVIX_TEST_SUMMARY=$(CURDIR)/$(TEST_SUMMARY) bash tests/windows.sh
	PAVIX_TEST_SUMMARY=$(CURDIR)/$(TEST_SUMMARY) bash tests/e2e/linux/run.sh $(LINUX_DIR)/pavix
	PAVIX_TEST_SUMMARY=$(CURDIR)/$(TEST_SUMMARY) bash tests/dist/deb.sh $(DEB)
	PAVIX_TEST_SUMMARY=$(CURDIR)/$(TEST_SUMMARY) bash tests/e2e/wayland/run.sh $(LINUX_DIR)/pavix
	@echo "== end-to-end, one line per platform"; cat $(TEST_SUMMARY)

# The native Linux program on this X11 desktop, or on a private Xvfb where there is none (or only a
# Wayland session): the one that hears chords typed anywhere on the desktop.
run: linux
	bash tools/run-pavix-linux.sh $(LINUX_DIR)

# The Windows program under Wine: the 32-bit reference program where this kernel runs 32-bit
# programs, the 64-bit one elsewhere. It hears chords only while a Wine window has the focus.
run-wine: samples
	source tools/wine-env.sh; pavix_choose_builds; echo "$$PAVIX_WINDOWS_NOTE"; \
	dir=$${PAVIX_WINDOWS_BUILDS%% *}; $(MAKE) --no-print-directory $${dir#build/}; \
	bash tools/run-pavix.sh $$dir

dist: windows
	bash tools/make-dist.sh $(WIN32_DIR) $(WIN64_DIR)

# The Linux program as a Debian package, build/dist/pavix_<version>_amd64.deb, from the build of
# `make linux`, which runs from build/linux/ and, installed, from /usr alike.
deb: linux
	cmake --build $(LINUX_DIR) -j $(JOBS) --target pavix_deb_files
	cd $(LINUX_DIR) && cpack -G DEB
	rm -rf build/dist/_CPack_Packages

screenshots: samples
	source tools/wine-env.sh; pavix_choose_builds; dir=$${PAVIX_WINDOWS_BUILDS%% *}; \
	$(MAKE) --no-print-directory $${dir#build/}; bash tools/screenshots.sh $$dir
	$(MAKE) --no-print-directory linux native
	PAVIX_E2E_TOUR=$(CURDIR)/docs/images bash tests/e2e/linux/run.sh build/linux/pavix
	PAVIX_E2E_TOUR=$(CURDIR)/docs/images bash tests/e2e/wayland/run.sh build/linux/pavix

deps:
	@if [[ $$(id -u) -eq 0 ]]; then tools/install-deps.sh; \
	else echo "Not root: skipping tools/install-deps.sh (run it as root to install packages)."; fi

native: deps
	cmake -S . -B $(NATIVE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(NATIVE_DIR) -j $(JOBS)

# The native Linux program, build/linux/pavix, with pavix-seq beside it.
linux: deps
	cmake -S . -B $(LINUX_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(LINUX_DIR) -j $(JOBS)

# The sample sequences of `make run-wine` and `make screenshots`, which pavix-seq converts from
# tools/samples/sequences.toml: only what that takes of the native build.
samples: deps
	cmake -S . -B $(NATIVE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(NATIVE_DIR) -j $(JOBS) --target pavix_samples

windows: win32 win64

win32: deps
	cmake -S . -B $(WIN32_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
	cmake --build $(WIN32_DIR) -j $(JOBS)

win64: deps
	cmake -S . -B $(WIN64_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake
	cmake --build $(WIN64_DIR) -j $(JOBS)

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
# memory and CPU, size and imports (results in build/bench-wine/). The program is chosen as for
# make run-wine.
bench-wine: deps
	source tools/wine-env.sh; pavix_choose_builds; echo "$$PAVIX_WINDOWS_NOTE"; \
	dir=$${PAVIX_WINDOWS_BUILDS%% *}; $(MAKE) --no-print-directory $${dir#build/}; \
	bash bench/wine/run.sh $$dir/Pavix.exe

# The Linux program and sxhkd side by side on one Xvfb with 10, 1,000 and 100,000 two-chord
# sequences, then the Linux program through the desktop portal on a headless KDE session (results
# in build/bench-linux/bench-linux.md and bench-portal.md; figures in docs/performance.md).
bench-linux: native linux
	bash bench/linux/run.sh $(LINUX_DIR)/pavix

clean:
	rm -rf $(NATIVE_DIR) $(WIN32_DIR) $(WIN64_DIR) $(ASAN_DIR) $(BENCH_DIR) $(FUZZ_DIR) build/dist \
	      build/bench-linux

format:
	find $(SOURCE_DIRS) \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null \
	    | xargs -0 -r clang-format -i
