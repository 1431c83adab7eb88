#!/usr/bin/env bash
# Configures and builds both builds: build/native and build/win32
# (an argument "native" or "win32" builds only that one).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
JOBS="$(nproc)"
B="${VX_BUILD_ROOT:-build}"
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
[ "${1:-all}" = win32 ] || build native -DCMAKE_BUILD_TYPE=RelWithDebInfo
[ "${1:-all}" = native ] || build win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
# The x86_64 build of the same sources, for machines whose Wine cannot run
# 32-bit code (scripts/wine-env.sh decides which build the Wine tests use).
if [ "${1:-all}" != native ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    build win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
fi
