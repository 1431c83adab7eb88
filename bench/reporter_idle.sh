#!/usr/bin/env bash
# Benchmark: CPU time Zilvara.exe spends over 60 s sitting in the tray (checks every
# 5 minutes), against a minimal Win32 program with a 2-second timer. Prints figures only.
#
# CPU time is the kernel scheduler's count for the process (nanoseconds), peak working sets
# come from the launcher. BENCH_IDLE_S changes the 60 s, BENCH_SETTLE_S (default 5) the
# start-up left out.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
IDLE="${BENCH_IDLE_S:-60}"
SETTLE="${BENCH_SETTLE_S:-5}"
[ -f "$BIN/Zilvara.exe" ] || { echo "reporter_idle: $BIN/Zilvara.exe missing (build with scripts/build.sh)" >&2; exit 1; }
bench_build
vx_wine_session_start
trap bench_stop EXIT

work="$VX_RUN/reporter"; mkdir -p "$work/registry"
# The server's record: field 15 is its public address.
echo "42|BENCH|ZEDOVORIDI|VXSERVERI|5|6|7|8|9|10|11|12|13|14|10.0.0.7|16" >"$work/registry/42.txt"
registry_start "$work/registry"
write_ini "$work/ZEDOVoridi.ini" DARiriza "Glo:Vrijeme=5" "Glo:IDIPServera=42" "Glo:NazivServera=ZEDOVORIDI" \
    "Glo:Grupa=VXSERVERI" "Glo:WebAdresa=http://127.0.0.1:$REG_PORT/dns/" "Glo:RadiLogDatoteku=0"

launcher="$BENCH_BIN/peakmem.exe"
cwd="$(winpath "$work")"
# Both at once: the same 60 s of the same machine. The launchers keep each program
# a little longer than the window measured here and give the peak working sets.
keep=$((IDLE + 15))
wrun "$launcher" idle "$SETTLE" "$keep" "$cwd" "$(winpath "$BIN/Zilvara.exe")" >"$VX_RUN/zilvara.out" &
z=$!
wrun "$launcher" idle "$SETTLE" "$keep" "$cwd" "$(winpath "$BENCH_BIN/minimal_window.exe")" Minimal --timer \
    >"$VX_RUN/minimal.out" &
y=$!
sleep "$((SETTLE + 1))"
zp="$(unix_pid Zilvara.exe)" || { echo "reporter_idle: Zilvara.exe is not running" >&2; exit 1; }
yp="$(unix_pid minimal_window.exe)" || { echo "reporter_idle: minimal program is not running" >&2; exit 1; }
z0="$(thread_ns "$zp")"; y0="$(thread_ns "$yp")"
sleep "$IDLE"
z1="$(thread_ns "$zp")"; y1="$(thread_ns "$yp")"
[ -n "$z0" ] && [ -n "$z1" ] || { echo "reporter_idle: Zilvara.exe ended during the measurement" >&2; exit 1; }
[ -n "$y0" ] && [ -n "$y1" ] || { echo "reporter_idle: the minimal program ended during the measurement" >&2; exit 1; }
wait $z || true; wait $y || true
zl="$(tr -d '\r' <"$VX_RUN/zilvara.out")"; yl="$(tr -d '\r' <"$VX_RUN/minimal.out")"
[ -n "$(value cpu_ms "$zl")" ] || { echo "reporter_idle: Zilvara.exe: $zl" >&2; exit 1; }
[ -n "$(value cpu_ms "$yl")" ] || { echo "reporter_idle: minimal program: $yl" >&2; exit 1; }
awk -v zc="$(( $(cpu_delta_ns "$z0" "$z1") / 1000 ))" -v yc="$(( $(cpu_delta_ns "$y0" "$y1") / 1000 ))" -v zs="$(value startup_cpu_ms "$zl")" \
    -v zt="$(value cpu_ms "$zl")" -v yt="$(value cpu_ms "$yl")" -v keep="$keep" \
    -v zw="$(value peak_ws_kib "$zl")" -v yw="$(value peak_ws_kib "$yl")" -v s="$IDLE" \
    -v build="$VX_WINE_BUILD" -v settle="$SETTLE" \
    -v load="$(cut -d' ' -f1-3 /proc/loadavg)" 'BEGIN {
    printf "reporter idle under Wine (%s build), %.0f s after a %s s start\n", build, s, settle
    printf "  Zilvara.exe in the tray:   CPU %9.3f ms   peak working set %6.1f MiB   (start-up CPU %.0f ms)\n", zc / 1000, zw / 1024, zs
    printf "  minimal, 2-second timer:   CPU %9.3f ms   peak working set %6.1f MiB\n", yc / 1000, yw / 1024
    printf "  (GetProcessTimes over %d s, 10 ms steps: Zilvara %.0f ms, minimal %.0f ms)\n", keep, zt, yt
    if (yc > 0) printf "  CPU ratio %.2f (target <= 1.5)\n", zc / yc
    else printf "  CPU ratio: minimal used no measurable CPU (target <= 1.5)\n"
    printf "  machine load average %s\n", load
}'
