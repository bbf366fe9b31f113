#!/usr/bin/env bash
# Installs what is missing, builds, and starts Parsetta on its bundled template database.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
ensure_packages

cmake -S . -B build -G Ninja
cmake --build build -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Parsetta on a virtual X server (xvfb-run)."
    exec xvfb-run -a build/bin/parsetta "$@"
fi
exec build/bin/parsetta "$@"
