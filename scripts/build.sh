#!/usr/bin/env bash
# Configures and builds Velmora into build/ (or $VELMORA_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${VELMORA_BUILD:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
