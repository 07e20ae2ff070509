# Pavix: `make run` builds the Windows program and starts it under Wine; `make test` runs every
# test. Both install what a fresh Debian machine lacks first (when run as root).

SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c

JOBS ?= 2
NATIVE_DIR := build/native
WIN32_DIR := build/win32
SOURCE_DIRS := model storage engine app editors resources platform tests bench fuzz

.PHONY: test run deps native win32 clean format

test: native win32
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)
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

clean:
	rm -rf $(NATIVE_DIR) $(WIN32_DIR)

format:
	find $(SOURCE_DIRS) \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null \
	    | xargs -0 -r clang-format -i
