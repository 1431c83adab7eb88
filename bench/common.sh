# Sourced by the benchmark scripts: a Wine session, the programs' folder, the
# launcher and the yardstick programs built for it, and the stand-in registry.
# shellcheck shell=bash
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The build the tests run on: the shipped i686 programs wherever they can be
# started (natively, or emulated in a namespace of scripts/with-i386), else
# the x86_64 twin. The benchmark runs itself again where they start.
if [ -z "${VX_I386_MODE:-}" ]; then
    exec "$ROOT/scripts/with-i386" bash "$0" "$@"
fi
source "$ROOT/scripts/wine-env.sh"
B="${VX_BUILD_ROOT:-$ROOT/build}"
BIN="${VX_BIN:-$B/$VX_WINE_BUILD/bin}"
# One line first, as the test output has it: which build is measured, and how.
echo "bench: $(basename "$0" .sh) on $(vx_wine_how)${VX_BIN:+, the programs of $VX_BIN}"
BENCH_BIN="$B/bench-$VX_WINE_BUILD"
if [ "$VX_WINE_BUILD" = win32 ]; then CXX=i686-w64-mingw32-g++-posix; else CXX=x86_64-w64-mingw32-g++-posix; fi

# Builds the launcher and the yardsticks (only when their sources changed).
bench_build() {
    mkdir -p "$BENCH_BIN"
    local src exe
    for src in peakmem minimal_window floor_window; do
        exe="$BENCH_BIN/$src.exe"
        if [ ! -f "$exe" ] || [ "$ROOT/bench/$src.cpp" -nt "$exe" ]; then
            local gui=""; [ $src != peakmem ] && gui=-mwindows
            local libs=-lpsapi; [ $src = floor_window ] && libs=-lwinhttp
            "$CXX" -O2 -municode $gui -static -o "$exe" "$ROOT/bench/$src.cpp" $libs
        fi
    done
    # The floor again with the common controls, under the programs' own manifest.
    exe="$BENCH_BIN/floor_controls.exe"
    if [ ! -f "$exe" ] || [ "$ROOT/bench/floor_window.cpp" -nt "$exe" ]; then
        local windres=i686-w64-mingw32-windres; [ "$VX_WINE_BUILD" = win32 ] || windres=x86_64-w64-mingw32-windres
        printf '1 24 "%s"\n' "$ROOT/resources/manifest.xml" >"$BENCH_BIN/floor_controls.rc"
        "$windres" "$BENCH_BIN/floor_controls.rc" -O coff -o "$BENCH_BIN/floor_controls.res"
        "$CXX" -O2 -municode -mwindows -static -DFLOOR_COMMON_CONTROLS -o "$exe" "$ROOT/bench/floor_window.cpp" \
            "$BENCH_BIN/floor_controls.res" -lwinhttp -lcomctl32
    fi
}

# A Unix path as Wine sees it (drive Z: is the root).
winpath() { printf 'Z:%s' "$(echo "$1" | tr / '\\')"; }

# Runs a Windows program under Wine with no console noise on stdout.
wrun() { "$VX_WINE_LOADER" "$@" 2>/dev/null; }

# Starts the stand-in registry on a free port serving files from $1; sets REG_PORT.
registry_start() {
    local root="$1"
    python3 "$ROOT/tests/e2e/registry.py" --root "$root" >"$VX_RUN/registry.port" 2>"$VX_RUN/registry.err" &
    REG_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$VX_RUN/registry.port" ] && break
        sleep 0.05
    done
    REG_PORT="$(head -1 "$VX_RUN/registry.port")"
    [ -n "$REG_PORT" ] || { echo "bench: registry did not start" >&2; cat "$VX_RUN/registry.err" >&2; exit 1; }
}

bench_stop() {
    [ -n "${REG_PID:-}" ] && kill "$REG_PID" 2>/dev/null || true
    vx_wine_session_stop
}

# INI text with CRLF line ends, as Windows writes it: section, then key=value lines.
write_ini() {
    local file="$1" section="$2"; shift 2
    { printf '[%s]\r\n' "$section"; for kv in "$@"; do printf '%s\r\n' "$kv"; done; } >"$file"
}

# value KEY LINE: the value of key=value in a launcher output line.
value() { echo "$2" | tr ' ' '\n' | sed -n "s/^$1=//p"; }

# median of the numbers given, one per argument.
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else printf "%.1f\n", (a[NR/2]+a[NR/2+1])/2}'; }

# The Unix process id of the running Windows program NAME (e.g. Zilvara.exe) of this
# session's prefix: Wine puts the Windows path in argv[0]. Under QEMU's emulator the
# process's own arguments are the emulator's, and that path comes after the emulator
# and Wine's loader.
unix_pid() {
    local p argv
    for p in /proc/[0-9]*; do
        grep -qz "^WINEPREFIX=$WINEPREFIX\$" "$p/environ" 2>/dev/null || continue
        mapfile -d '' -t argv <"$p/cmdline" 2>/dev/null || continue
        [ ${#argv[@]} -gt 0 ] || continue
        [[ "${argv[0]}" == */qemu-i386 ]] && argv=("${argv[@]:2}")
        case "${argv[0]:-}" in
            *"\\$1") basename "$p"; return 0 ;;
        esac
    done
    return 1
}

# CPU time of each thread of Unix process $1 so far, one "tid nanoseconds" line each
# (the scheduler's own count: finer than the 10 ms ticks GetProcessTimes reports).
# A thread may end between listing and reading: it is skipped.
thread_ns() {
    local f
    for f in /proc/"$1"/task/*/schedstat; do
        local t="${f%/schedstat}"
        { read -r ns _ <"$f"; } 2>/dev/null && echo "${t##*/} $ns"
    done
    return 0
}

# cpu_delta_ns BEFORE AFTER: the CPU time run between two thread_ns listings. Threads that
# ended in between drop out (a worker that ends loses its last part), new ones count whole.
cpu_delta_ns() {
    awk 'NR == FNR {before[$1] = $2; next} {d += $2 - (($1 in before) ? before[$1] : 0)} END {printf "%d\n", d}' \
        <(echo "$1") <(echo "$2")
}
