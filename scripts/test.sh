#!/usr/bin/env bash
# Runs every test: native unit tests, the Win32 tests under Wine and the
# end-to-end scenarios, each Wine run in a throw-away prefix and display.
# Arguments go to ctest (e.g. -R Pattern); VX_BUILDS="native" or "wine"
# limits the run to one side.
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
    source scripts/wine-env.sh
    vx_wine_session_start
    trap vx_wine_session_stop EXIT
    ctest --test-dir "$B/$VX_WINE_BUILD" -j4 --timeout 900 --output-on-failure "$@" || status=1
fi
exit $status
