#!/usr/bin/env bash
# Configures and builds into build/ (or $KORVEX_BUILD_DIR). Extra arguments go
# to CMake's configure step, e.g. -DKORVEX_SANITIZE=address.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVEX_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${KORVEX_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
