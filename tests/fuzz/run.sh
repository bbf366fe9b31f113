#!/usr/bin/env bash
# Builds the answer fuzzers with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into their own build folder and runs each for a bounded time over the corpus kept in
# tests/fuzz/corpus. Exits non-zero on any finding.
#   tests/fuzz/run.sh [build-dir]      (default: build-fuzz in the repository root)
# FUZZ_SECONDS and FUZZ_RUNS bound each harness (default 20 s or 2000000 inputs, whichever
# comes first).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-20}"
runs="${FUZZ_RUNS:-2000000}"

cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)"

for framing in rtu tcp; do
    # New inputs go to a scratch folder; the corpus in the repository is only read.
    work="$build/corpus-$framing"
    mkdir -p "$work" "$build/artifacts"
    echo "== ${framing}_answer_fuzzer: ${seconds} s"
    UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1" \
        "$build/${framing}_answer_fuzzer" -max_total_time="$seconds" -runs="$runs" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/${framing}-" \
        "$work" "$root/tests/fuzz/corpus/$framing"
done
