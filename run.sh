#!/usr/bin/env bash
# Installs what is missing, builds, and starts Parsetta on its bundled template database.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
ensure_packages

cmake -S . -B build -G Ninja
cmake --build build -j "$(nproc)"

# Simulated devices of the product line on a loopback TCP port, for as long as Parsetta runs.
devsim_log=build/devsim.log
devsim_pid=
start_devsim() {
    build/bin/parsetta-devsim --tcp "127.0.0.1:$1" --device 000D@1 --device 0006@2 \
        --device 0008@3 --device 0009@4 >"$devsim_log" 2>&1 &
    devsim_pid=$!
    for _ in $(seq 50); do
        grep -q 'listening:' "$devsim_log" 2>/dev/null && return 0
        kill -0 "$devsim_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
stop_devsim() {
    [ -n "$devsim_pid" ] || return 0
    kill "$devsim_pid" 2>/dev/null || true
    wait "$devsim_pid" 2>/dev/null || true
}
trap stop_devsim EXIT
if start_devsim 1502 || { stop_devsim; start_devsim 0; }; then
    devsim_port=$(sed -n 's/.*listening: Modbus TCP on [0-9.]*:\([0-9]*\)$/\1/p' "$devsim_log")
    echo "Simulated devices are running: UT10 at address 1, AI4 at 2, DI4 at 3, DO4 at 4."
    echo "To reach them: Settings › Communication › Modbus TCP, host 127.0.0.1, port $devsim_port;"
    echo "then Device › Read from device with one of those addresses. Simulator log: $devsim_log"
else
    echo "The device simulator did not start (see $devsim_log); Parsetta starts without it."
fi

# Not exec: the shell stays to stop the simulator when Parsetta ends.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Parsetta on a virtual X server (xvfb-run)."
    xvfb-run -a build/bin/parsetta "$@"
else
    build/bin/parsetta "$@"
fi
