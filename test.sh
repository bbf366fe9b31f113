#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
ensure_packages

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja
cmake --build build -j "$jobs"

# The Modbus stack once more under ThreadSanitizer and under AddressSanitizer with
# UndefinedBehaviorSanitizer; the stack has no Qt, so these builds stay small.
for san in thread address,undefined; do
    dir="build-${san%%,*}"
    cmake -S . -B "$dir" -G Ninja -DPARSETTA_STACK_ONLY=ON -DPARSETTA_SANITIZE="$san" \
        -DCMAKE_BUILD_TYPE=Debug
    cmake --build "$dir" -j "$jobs"
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1" \
        ctest --test-dir "$dir" --output-on-failure -j "$jobs" -L unit
done

# The RTU and TCP answer decoders under libFuzzer for a bounded time each; any finding fails.
tests/fuzz/run.sh build-fuzz

# Every test of the program last, so its summary closes the run.
ctest --test-dir build --output-on-failure -j "$jobs"
