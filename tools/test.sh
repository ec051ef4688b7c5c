#!/usr/bin/env bash
# Sets up the machine, builds and runs the whole test suite with CTest.
# KORVEX_SANITIZE=address|thread builds into build-<sanitizer>/ instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup-debian.sh"
args=()
if [ -n "${KORVEX_SANITIZE:-}" ]; then
    export KORVEX_BUILD_DIR=${KORVEX_BUILD_DIR:-$root/build-$KORVEX_SANITIZE}
    args+=("-DKORVEX_SANITIZE=$KORVEX_SANITIZE" -DKORVEX_BUILD_BENCH=OFF)
    # Our defaults come first so that options already set in the environment
    # win; the suppression files list what belongs to Qt and the system
    # libraries, each entry with its reason. Qt is built without frame
    # pointers, so allocation stacks are unwound fully (and kept short) for
    # the leak suppressions to see the frames inside Qt.
    supp=$root/tools/sanitizers
    case $KORVEX_SANITIZE in
    address)
        export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0:malloc_context_size=10${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
        export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
        export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
        ;;
    thread)
        # die_after_fork=0: the killed-take test forks a child that starts
        # the writer thread and is then killed; TSan would end the child
        # before it writes anything.
        export TSAN_OPTIONS="suppressions=$supp/tsan.supp:second_deadlock_stack=1:history_size=4:die_after_fork=0${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
        # The parts that run threads of their own; CTEST_ARGS picks others.
        # Tests labelled qt-threads-only run no thread of ours (only Qt's
        # loader, image reader and pool threads), so TSan has nothing of ours
        # to check there and reports only Qt's own uninstrumented hand-overs.
        CTEST_ARGS=${CTEST_ARGS:--L capture|audio|cameras|encoding|recording|remote -LE qt-threads-only}
        ;;
    esac
fi
build=${KORVEX_BUILD_DIR:-$root/build}
"$root/tools/build.sh" "${args[@]}"
cd "$build"
# shellcheck disable=SC2086
# One test at a time: several tests measure real audio, video and network
# timing, which two busy cores would distort.
ctest --output-on-failure ${CTEST_ARGS:-}
