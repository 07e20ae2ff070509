#!/usr/bin/env bash
# The Windows half of `make test`: the backend's unit tests and the end-to-end suite for every
# Windows build this machine can run (the 32-bit reference program only where the kernel executes
# 32-bit programs, the 64-bit one always), then the packages of `make dist`. Says in one line
# which programs were exercised and why.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# shellcheck source=/dev/null
source tools/wine-env.sh
trap pavix_wine_down EXIT
pavix_wine_up
pavix_choose_builds
echo "$PAVIX_WINDOWS_NOTE"

for build in $PAVIX_WINDOWS_BUILDS; do
    echo "== $build: backend unit tests"
    ctest --test-dir "$build" --output-on-failure
    echo "== $build: end-to-end suite"
    bash tests/e2e/run.sh "$build/Pavix.exe"
done

echo "== packages"
bash tools/make-dist.sh build/win32 build/win64
# shellcheck disable=SC2086
bash tests/dist/run.sh $PAVIX_WINDOWS_BUILDS

echo "$PAVIX_WINDOWS_NOTE"
