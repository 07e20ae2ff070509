#!/usr/bin/env bash
# Runs every fuzzer for a bounded time, starting from the seed corpus that the build generates
# (BUILD_DIR/fuzz/corpus, from make_corpus.cpp).
#   run_fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
# New inputs go to BUILD_DIR/fuzz-work/<target>, crashes to BUILD_DIR/fuzz-artifacts/; the
# seed corpus is only read. Inputs reach 64 KiB, long enough for sequences of thousands of
# chords, and any one input that takes longer than 5 s counts as a failure, so that a path
# whose cost grows faster than its input is a finding rather than a slow run. Any single
# allocation over 64 MiB counts as a failure too: no input of at most 64 KiB has a reason to
# ask for that much (reading one takes about its own size).
set -euo pipefail

readonly build_dir=${1:?build directory}
readonly seconds=${2:?seconds per target}
readonly corpus_root=$build_dir/fuzz/corpus
if [[ ! -d $corpus_root ]]; then
    echo "fuzz: no seed corpus in $corpus_root: build the fuzzers first (make fuzzers)" >&2
    exit 1
fi

mkdir -p "$build_dir/fuzz-artifacts"
for target in config sequence_file engine sequence_text conflicts; do
    work="$build_dir/fuzz-work/$target"
    mkdir -p "$work"
    echo "fuzz: $target for ${seconds}s"
    "$build_dir/fuzz/${target}_fuzzer" "$work" "$corpus_root/$target" \
        -max_total_time="$seconds" -max_len=65536 -timeout=5 \
        -rss_limit_mb=2048 -malloc_limit_mb=64 -print_final_stats=1 \
        -artifact_prefix="$build_dir/fuzz-artifacts/$target-" 2>"$build_dir/fuzz-$target.log" || {
        tail -n 60 "$build_dir/fuzz-$target.log"
        echo "fuzz: $target FAILED (log: $build_dir/fuzz-$target.log)"
        exit 1
    }
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build_dir/fuzz-$target.log" |
        sed "s/^/fuzz: $target /"
done
echo "fuzz: all targets ran ${seconds}s each without a failure"
