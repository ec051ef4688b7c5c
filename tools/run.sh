#!/usr/bin/env bash
# Sets up the machine, builds and starts Korvex Studio.
# On a machine without any camera (/dev/video*), two virtual test cameras are
# listed so that the program can be tried at once; set KORVEX_TEST_CAMERAS=0
# to turn that off, or to 1..4 to choose how many.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup-debian.sh"
"$root/tools/build.sh"
if [ -z "${KORVEX_TEST_CAMERAS+x}" ] && ! ls /dev/video* >/dev/null 2>&1; then
    export KORVEX_TEST_CAMERAS=2
fi
[ "${KORVEX_TEST_CAMERAS:-}" = "0" ] && unset KORVEX_TEST_CAMERAS
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting under Xvfb on :99" >&2
    Xvfb :99 -screen 0 1920x1080x24 >/dev/null 2>&1 &
    export DISPLAY=:99
    sleep 1
fi
exec "${KORVEX_BUILD_DIR:-$root/build}/bin/Korvex" "$@"
