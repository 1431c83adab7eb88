#!/usr/bin/env bash
# Runs every test: native unit tests, the Win32 tests under Wine and the
# end-to-end scenarios, each Wine run in a throw-away prefix and display.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh || exit 1
bash scripts/build.sh || exit 1
source scripts/wine-env.sh
vx_wine_session_start
trap vx_wine_session_stop EXIT
status=0
B="${VX_BUILD_ROOT:-build}"
ctest --test-dir "$B/native" -j"$(nproc)" --output-on-failure "$@" || status=1
ctest --test-dir "$B/$VX_WINE_BUILD" -j4 --timeout 900 --output-on-failure "$@" || status=1
exit $status
