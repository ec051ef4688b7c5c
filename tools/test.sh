#!/usr/bin/env bash
# Sets up the machine, builds and runs the whole test suite with CTest.
# KORVEX_SANITIZE=address|thread builds into build-<sanitizer>/ instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup-debian.sh"
args=()
if [ -n "${KORVEX_SANITIZE:-}" ]; then
    export KORVEX_BUILD_DIR=${KORVEX_BUILD_DIR:-$root/build-$KORVEX_SANITIZE}
    args+=("-DKORVEX_SANITIZE=$KORVEX_SANITIZE")
fi
build=${KORVEX_BUILD_DIR:-$root/build}
"$root/tools/build.sh" "${args[@]}"
cd "$build"
# shellcheck disable=SC2086
# One test at a time: several tests measure real audio, video and network
# timing, which two busy cores would distort.
ctest --output-on-failure ${CTEST_ARGS:-}
