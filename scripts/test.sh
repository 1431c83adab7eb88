#!/usr/bin/env bash
# Runs every test: native unit tests, the Win32 tests under Wine and the
# end-to-end scenarios, each Wine run in a throw-away prefix and display.
# Arguments go to ctest (e.g. -R Pattern); VX_BUILDS="native" or "wine"
# limits the run to one side. The Wine side runs the shipped i686 build
# (natively, or under QEMU where the kernel cannot execute 32-bit code; see
# scripts/with-i386), then the x86_64 twin; VX_I386=emulated forces the
# emulator, VX_WINE_TWIN=0 leaves the twin out.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh || exit 1
bash scripts/build.sh || exit 1
B="${VX_BUILD_ROOT:-build}"
BUILDS="${VX_BUILDS:-native win32 wine}"
status=0
if [[ " $BUILDS " == *" native "* ]]; then
    ctest --test-dir "$B/native" -j"$(nproc)" --output-on-failure "$@" || status=1
    # A full run also runs the unit tests as one process, with and without
    # sanitizers: state one test leaves for the next, and a freed address
    # given out again, show only there.
    if [[ $# -eq 0 ]]; then
        for build in native native-nosan; do
            if ! timeout 300 "$B/$build/unit_tests" --gtest_brief=1; then
                echo "test: $build/unit_tests as one process failed" >&2
                status=1
            fi
        done
    fi
fi
if [[ " $BUILDS " == *" wine "* ]]; then
    # The shipped i686 programs wherever they can be started (natively, or
    # emulated in a namespace of scripts/with-i386), else the x86_64 twin.
    scripts/with-i386 scripts/wine-tests "$@" || status=1
    # Both widths are worth proving: where the i686 build ran, the twin runs
    # too (VX_WINE_TWIN=0 leaves it out).
    mode="$(scripts/with-i386 --mode 2>/dev/null)"
    if [ "${VX_WINE_TWIN:-1}" = 1 ] && [ "$mode" != none ]; then
        VX_WINE_WIDTH=64 scripts/wine-tests "$@" || status=1
    fi
fi
exit $status
