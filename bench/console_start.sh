#!/usr/bin/env bash
# Benchmark: time from starting Morventa.exe until its main window "VO Zidavar" is visible,
# and its peak working set, against a minimal one-window Win32 program. Prints figures only.
#
# Registered settings and a stand-in registry that answers at once, so the figure is the
# console's own start-up. BENCH_RUNS (default 10) runs of each, alternating; medians printed.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
RUNS="${BENCH_RUNS:-10}"
[ -f "$BIN/Morventa.exe" ] || { echo "console_start: $BIN/Morventa.exe missing (build with scripts/build.sh)" >&2; exit 1; }
bench_build
vx_wine_session_start
trap bench_stop EXIT

work="$VX_RUN/console"; mkdir -p "$work/registry"
echo "10.0.0.5" >"$work/registry/ZEDOVORIDI.txt"
registry_start "$work/registry"
write_ini "$work/ZEDOVoridi.ini" VOZidavar "Glo:IDKorisnika=12345" "Glo:NazivKorisnika=Bench" \
    "Glo:Grupa=KOR" "Glo:WebAdresa=http://127.0.0.1:$REG_PORT/dns/" "Glo:NazivServera=ZEDOVORIDI" \
    "Glo:SamoClijent=0" "Glo:SamoServer=0"

launcher="$BENCH_BIN/peakmem.exe"
morventa="$(winpath "$BIN/Morventa.exe")"
minimal="$(winpath "$BENCH_BIN/minimal_window.exe")"
cwd="$(winpath "$work")"
# One warm-up start of each: the first start in a fresh prefix loads Wine's DLLs from disk.
wrun "$launcher" window "VO Zidavar" 30 "$cwd" "$morventa" >/dev/null || true
wrun "$launcher" window "Minimal" 30 "$cwd" "$minimal" >/dev/null || true

m_ms=(); m_ws=(); y_ms=(); y_ws=()
for i in $(seq 1 "$RUNS"); do
    line="$(wrun "$launcher" window "VO Zidavar" 30 "$cwd" "$morventa" | tr -d '\r')"
    [ -n "$(value window_ms "$line")" ] || { echo "console_start: run $i: $line" >&2; exit 1; }
    m_ms+=("$(value window_ms "$line")"); m_ws+=("$(value peak_ws_kib "$line")")
    line="$(wrun "$launcher" window "Minimal" 30 "$cwd" "$minimal" | tr -d '\r')"
    [ -n "$(value window_ms "$line")" ] || { echo "console_start: minimal run $i: $line" >&2; exit 1; }
    y_ms+=("$(value window_ms "$line")"); y_ws+=("$(value peak_ws_kib "$line")")
    [ -n "${BENCH_VERBOSE:-}" ] && echo "run $i: Morventa ${m_ms[-1]} ms ${m_ws[-1]} KiB, minimal ${y_ms[-1]} ms ${y_ws[-1]} KiB"
done

load="$(cut -d' ' -f1-3 /proc/loadavg)"
range() { printf '%s\n' "$@" | sort -g | sed -n '1p;$p' | tr '\n' ' ' | awk '{printf "%s-%s", $1, $2}'; }
mr="$(range "${m_ms[@]}")"; yr="$(range "${y_ms[@]}")"
mm="$(median "${m_ms[@]}")"; ym="$(median "${y_ms[@]}")"
mw="$(median "${m_ws[@]}")"; yw="$(median "${y_ws[@]}")"
awk -v mm="$mm" -v ym="$ym" -v mw="$mw" -v yw="$yw" -v n="$RUNS" -v build="$VX_WINE_BUILD" \
    -v load="$load" -v mr="$mr" -v yr="$yr" 'BEGIN {
    printf "console start-up under Wine (%s build), median of %d runs each\n", build, n
    printf "  Morventa.exe to \"VO Zidavar\" visible: %8.1f ms (%s)   peak working set %6.1f MiB\n", mm, mr, mw / 1024
    printf "  minimal one-window program:           %8.1f ms (%s)   peak working set %6.1f MiB\n", ym, yr, yw / 1024
    printf "  time ratio %.2f (target <= 1.2)\n", mm / ym
    limit = 1.3 * yw + 2048
    printf "  working set %.1f MiB against a limit of %.1f MiB (1.3 x minimal + 2 MiB)\n", mw / 1024, limit / 1024
    printf "  machine load average %s (times spread widely on a busy machine)\n", load
}'
