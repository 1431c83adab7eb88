#!/usr/bin/env bash
# Benchmark: how long a user waits for the console. From CreateProcess of Morventa.exe until
# its main window "VO Zidavar" is mapped (visible), and until it is ready: visible and answering
# a sent WM_NULL, so built, prepared and painted. Against a floor program that makes the same
# one WinHTTP GET of the relay record and then shows one window. Prints figures only.
#
# Registered settings and a stand-in registry that answers at once, so the figures are the
# console's own start-up; a second floor also loads the common controls first, to show
# what they alone cost. BENCH_RUNS (default 9) runs of each, alternating, in one Wine
# session; medians printed. VX_BIN picks another build's programs (e.g. an older one).
# BENCH_CPU=N runs everything (Wine's server and X too) on that one CPU: the figures then
# spread far less, but hide the cost of waking other CPUs for each request to the server,
# which is most of what a program of many windows waits for on a machine of several.
if [ -n "${BENCH_CPU:-}" ] && [ -z "${BENCH_PINNED:-}" ]; then
    BENCH_PINNED=1 exec taskset -c "$BENCH_CPU" bash "$0" "$@"
fi
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
RUNS="${BENCH_RUNS:-9}"
[ -f "$BIN/Morventa.exe" ] || { echo "console_start: $BIN/Morventa.exe missing (build with scripts/build.sh)" >&2; exit 1; }
bench_build
vx_wine_session_start
trap bench_stop EXIT

work="$VX_RUN/console"; mkdir -p "$work/registry"
echo "10.0.0.5" >"$work/registry/ZEDOVORIDI.txt"
registry_start "$work/registry"
web="http://127.0.0.1:$REG_PORT/dns/"
write_ini "$work/ZEDOVoridi.ini" VOZidavar "Glo:IDKorisnika=12345" "Glo:NazivKorisnika=Bench" \
    "Glo:Grupa=KOR" "Glo:WebAdresa=$web" "Glo:NazivServera=ZEDOVORIDI" \
    "Glo:SamoClijent=0" "Glo:SamoServer=0"

launcher="$BENCH_BIN/peakmem.exe"
morventa="$(winpath "$BIN/Morventa.exe")"
floor="$(winpath "$BENCH_BIN/floor_window.exe")"
cwd="$(winpath "$work")"
console_run() { wrun "$launcher" ready "VO Zidavar" 30 "$cwd" "$morventa" | tr -d '\r'; }
floor_run() { wrun "$launcher" ready "Floor" 30 "$cwd" "$floor" "${web}ZEDOVORIDI.txt" Floor | tr -d '\r'; }
controls="$(winpath "$BENCH_BIN/floor_controls.exe")"
controls_run() { wrun "$launcher" ready "Floor" 30 "$cwd" "$controls" "${web}ZEDOVORIDI.txt" Floor | tr -d '\r'; }
# One warm-up start of each: the first start in a fresh prefix loads Wine's DLLs from disk.
console_run >/dev/null || true
floor_run >/dev/null || true
controls_run >/dev/null || true

c_map=(); c_ready=(); c_ws=(); f_map=(); f_ready=(); f_ws=(); k_map=(); k_ready=()
for i in $(seq 1 "$RUNS"); do
    line="$(console_run)"
    [ -n "$(value ready_ms "$line")" ] || { echo "console_start: run $i: $line" >&2; exit 1; }
    c_map+=("$(value mapped_ms "$line")"); c_ready+=("$(value ready_ms "$line")"); c_ws+=("$(value peak_ws_kib "$line")")
    line="$(floor_run)"
    [ -n "$(value ready_ms "$line")" ] || { echo "console_start: floor run $i: $line" >&2; exit 1; }
    f_map+=("$(value mapped_ms "$line")"); f_ready+=("$(value ready_ms "$line")"); f_ws+=("$(value peak_ws_kib "$line")")
    line="$(controls_run)"
    [ -n "$(value ready_ms "$line")" ] || { echo "console_start: floor with controls run $i: $line" >&2; exit 1; }
    k_map+=("$(value mapped_ms "$line")"); k_ready+=("$(value ready_ms "$line")")
    [ -n "${BENCH_VERBOSE:-}" ] && echo "run $i: Morventa mapped ${c_map[-1]} ready ${c_ready[-1]} ms ${c_ws[-1]} KiB," \
        "floor mapped ${f_map[-1]} ready ${f_ready[-1]} ms ${f_ws[-1]} KiB"
done

range() { printf '%s\n' "$@" | sort -g | sed -n '1p;$p' | tr '\n' ' ' | awk '{printf "%s-%s", $1, $2}'; }
awk -v cm="$(median "${c_map[@]}")" -v cr="$(median "${c_ready[@]}")" -v cw="$(median "${c_ws[@]}")" \
    -v fm="$(median "${f_map[@]}")" -v fr="$(median "${f_ready[@]}")" -v fw="$(median "${f_ws[@]}")" \
    -v km="$(median "${k_map[@]}")" -v kr="$(median "${k_ready[@]}")" \
    -v cmr="$(range "${c_map[@]}")" -v crr="$(range "${c_ready[@]}")" \
    -v fmr="$(range "${f_map[@]}")" -v frr="$(range "${f_ready[@]}")" \
    -v n="$RUNS" -v build="$VX_WINE_BUILD" -v cpu="${BENCH_CPU:+, all on CPU $BENCH_CPU}" -v load="$(cut -d' ' -f1-3 /proc/loadavg)" 'BEGIN {
    printf "console start-up under Wine (%s build%s), medians of %d alternating runs (min-max)\n", build, cpu, n
    printf "  %-36s %-24s %-24s %s\n", "from CreateProcess until", "Morventa.exe", "floor (GET + window)", "ratio"
    printf "  %-36s %7.1f ms %-14s %7.1f ms %-14s %5.2f (target <= 1.3)\n", "the main window is mapped", cm, "(" cmr ")", fm, "(" fmr ")", cm / fm
    printf "  %-36s %7.1f ms %-14s %7.1f ms %-14s %5.2f (target <= 1.5)\n", "it is painted and answers WM_NULL", cr, "(" crr ")", fr, "(" frr ")", cr / fr
    printf "  the floor with the common controls (comctl32 6, visual styles) loaded first: mapped %.1f ms, ready %.1f ms;\n", km, kr
    printf "  against it Morventa.exe takes %.2f x to mapped, %.2f x to ready (no target: what the controls alone cost)\n", cm / km, cr / kr
    limit = 1.3 * fw + 2048
    printf "  peak working set: Morventa %.1f MiB, floor %.1f MiB (limit 1.3 x floor + 2 MiB = %.1f MiB)\n", cw / 1024, fw / 1024, limit / 1024
    printf "  machine load average %s (times spread widely on a busy machine)\n", load
}'
