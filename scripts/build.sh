#!/usr/bin/env bash
# Configures and builds: build/native (portable logic and unit tests, with
# sanitizers), build/native-nosan (the same as an ordinary build, which reuses
# freed addresses as the sanitized one never does), build/win32 (the i686
# programs) and build/win64 (the same sources for x86_64, the twin the Wine
# tests also run, and run alone where 32-bit code cannot be started).
# VX_BUILDS picks some of "native win32 win64", where "wine" stands for both
# Windows builds; VX_BUILD_ROOT moves the build folders.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
JOBS="$(nproc)"
B="${VX_BUILD_ROOT:-build}"
BUILDS="${VX_BUILDS:-native win32 wine}"
mkdir -p "$B"
build() {  # name, cmake options...
    local name="$1"; shift
    if ! { cmake -S . -B "$B/$name" "$@" && cmake --build "$B/$name" -j"$JOBS"; } >"$B/$name.log" 2>&1; then
        grep -E 'error|Error' "$B/$name.log" | head -40
        tail -20 "$B/$name.log"
        echo "build: $name failed ($B/$name.log)" >&2
        exit 1
    fi
}
want() { [[ " $BUILDS " == *" $1 "* ]]; }
want native && build native -DCMAKE_BUILD_TYPE=RelWithDebInfo
want native && build native-nosan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_SANITIZE=OFF
{ want win32 || want wine; } && build win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
{ want win64 || want wine; } && build win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
exit 0
