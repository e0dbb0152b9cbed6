#!/usr/bin/env bash
# Runs one libFuzzer target, for CTest.
# Usage: run_fuzzer.sh FUZZER SEED_CORPUS DICTIONARY WORK_DIR
#   By default: every seed once (a regression check); fails on any crash or report.
#   LEXBIN_LONG_TESTS=1: fuzzes for LEXBIN_FUZZ_SECONDS (default 60) from the seeds; new
#   inputs go to WORK_DIR/corpus (the seed folder is only read), a crashing input to
#   WORK_DIR/crash-*.
set -u -o pipefail
fuzzer=${1:?fuzzer} seeds=${2:?seed corpus} dict=${3:?dictionary} work=${4:?work dir}
[[ -x "$fuzzer" ]] || { echo "not an executable: $fuzzer" >&2; exit 2; }
shopt -s nullglob
inputs=("$seeds"/*)
((${#inputs[@]} > 0)) || { echo "no seeds in $seeds" >&2; exit 2; }

if [[ "${LEXBIN_LONG_TESTS:-0}" == 1 ]]; then
    seconds=${LEXBIN_FUZZ_SECONDS:-60}
    rm -rf -- "$work"
    mkdir -p -- "$work/corpus"
    echo "# fuzzing $(basename -- "$fuzzer") for $seconds s from ${#inputs[@]} seeds"
    "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -dict="$dict" -artifact_prefix="$work/" "$work/corpus" "$seeds"
    status=$?
    corpus=("$work/corpus"/*)
    echo "# exit status $status; ${#corpus[@]} new corpus entries in $work/corpus"
    exit "$status"
fi

echo "# $(basename -- "$fuzzer") over ${#inputs[@]} seeds"
"$fuzzer" -timeout=10 "${inputs[@]}"
