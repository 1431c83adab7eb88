#!/usr/bin/env bash
# Builds everything and runs the console Morventa (the shipped i686 build,
# emulated where the kernel cannot execute 32-bit code) under Wine against a local
# stand-in web registry; saves a screenshot to build/screenshots/morventa.png.
# On its own Xvfb it then closes the console and stops; with VX_USE_DISPLAY=1
# and a $DISPLAY the console stays on that display until the user closes it.
# VX_NO_BUILD=1 runs what is already built.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
B="${VX_BUILD_ROOT:-build}"
[[ "$B" = /* ]] || B="$ROOT/$B"
WINDOW_TITLE="VO Zidavar"
START_TIMEOUT="${VX_START_TIMEOUT:-60}"

if [ "${VX_NO_BUILD:-0}" != 1 ] && [ -z "${VX_I386_MODE:-}" ]; then
    bash scripts/setup.sh
    # The programs a person runs are the i686 ones; only where 32-bit code
    # cannot be started at all does the x86_64 build of the same sources run.
    builds="win32"
    [ "$(scripts/with-i386 --mode 2>/dev/null)" != none ] || builds="win32 win64"
    VX_BUILD_ROOT="$B" VX_BUILDS="$builds" bash scripts/build.sh
fi
# The rest runs where the i686 programs start: as it is, or, where the
# kernel cannot execute 32-bit code, in a namespace whose own binfmt_misc
# hands them to QEMU (scripts/with-i386).
if [ -z "${VX_I386_MODE:-}" ]; then
    exec scripts/with-i386 bash "$ROOT/scripts/run.sh" "$@"
fi

source scripts/wine-env.sh
BIN="$B/$VX_WINE_BUILD/bin"
STUBS="$B/$VX_WINE_BUILD/stubs"
for f in Morventa.exe Trevasol.dll vxdrive.exe; do
    [ -f "$BIN/$f" ] || { echo "run: $BIN/$f was not built" >&2; exit 1; }
done

echo "run: Morventa from $(vx_wine_how)"
vx_wine_session_start
PIDS=()
finish() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    vx_wine_session_stop
}
trap finish EXIT
own_display=0
[ -f "$VX_RUN/xvfb.pid" ] && own_display=1

drive() { "$VX_WINE_LOADER" "$BIN/vxdrive.exe" "$@" </dev/null; }
win_path() { local p; p="$(cd "$1" && pwd)"; echo "Z:${p//\//\\}"; }

# The stand-in registry (port chosen freely) and the relay's sign-in list
# on port 8080 of the relay address the registry hands out.
WEB="$VX_RUN/web"; RELAY="$VX_RUN/relay"  # the registry serves /dns/NAME from web/NAME
mkdir -p "$WEB" "$RELAY"
printf '127.0.0.1' >"$WEB/ZEDOVORIDI.txt"
# The reporter's record: the public address is the 15th '|'-separated field.
printf '1|ZEDOVORIDI|VXSERVERI|||||||||||127.0.0.1|' >"$WEB/1.txt"
printf '501 DEMO\r\n' >"$RELAY/prijave.txt"

start_registry() {  # port file, registry arguments...; sets REGISTRY_PORT
    local portfile="$1" pid; shift
    python3 "$ROOT/tests/e2e/registry.py" "$@" >"$portfile" 2>"$portfile.err" </dev/null &
    pid=$!
    PIDS+=("$pid")
    for _ in $(seq 1 100); do
        if [ -s "$portfile" ]; then REGISTRY_PORT="$(head -1 "$portfile")"; return 0; fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    return 1
}
start_registry "$VX_RUN/registry.port" --root "$VX_RUN/web" --log "$VX_RUN/requests.log" || {
    echo "run: the stand-in registry did not start: $(cat "$VX_RUN/registry.port.err")" >&2; exit 1; }
WEB_URL="http://127.0.0.1:$REGISTRY_PORT/dns/"
start_registry "$VX_RUN/relay.port" --root "$RELAY" --port 8080 --base / --log "$VX_RUN/requests.log" ||
    echo "run: port 8080 is taken; the relay's sign-in list is not served" >&2

# The working folder: programs, stubs for the programs the console starts, settings.
WORK="$VX_RUN/work"
mkdir -p "$WORK"
cp "$BIN/Morventa.exe" "$BIN/Trevasol.dll" "$WORK/"
[ -f "$BIN/Zilvara.exe" ] && cp "$BIN/Zilvara.exe" "$WORK/"
cp "$STUBS"/*.exe "$WORK/"
printf '[VOZidavar]\r\nGlo:IDKorisnika=501\r\nGlo:NazivKorisnika=DEMO\r\nGlo:Grupa=KOR\r\nGlo:WebAdresa=%s\r\n[DARiriza]\r\nGlo:IDIPServera=1\r\nGlo:WebAdresa=%s\r\nGlo:Vrijeme=5\r\n' \
    "$WEB_URL" "$WEB_URL" >"$WORK/ZEDOVoridi.ini"
export VX_STUB_RECORD="$(win_path "$VX_RUN")\\started.txt"

(cd "$WORK" && exec "$VX_WINE_LOADER" Morventa.exe </dev/null >"$VX_RUN/morventa.out" 2>&1) &
MORVENTA=$!
PIDS+=("$MORVENTA")
if ! drive wait "$WINDOW_TITLE" --exe Morventa.exe --timeout "$START_TIMEOUT" >/dev/null; then
    if kill -0 "$MORVENTA" 2>/dev/null; then
        echo "run: Morventa's window \"$WINDOW_TITLE\" did not appear within $START_TIMEOUT s" >&2
    else
        wait "$MORVENTA" && code=0 || code=$?
        echo "run: Morventa ended (exit code $code) without showing \"$WINDOW_TITLE\"" >&2
    fi
    echo "run: windows on the screen:" >&2
    drive list >&2 || true
    echo "run: requests the registry received:" >&2
    cat "$VX_RUN/requests.log" >&2 2>/dev/null || echo "    (none)" >&2
    [ -s "$VX_RUN/morventa.out" ] && { echo "run: Morventa's output:" >&2; cat "$VX_RUN/morventa.out" >&2; }
    exit 1
fi
sleep 1  # let it paint
shot="$(bash scripts/screenshot.sh "$ROOT/build/screenshots/morventa.png")"
echo "$shot"

if [ "$own_display" = 0 ]; then
    echo "run: Morventa runs on $DISPLAY; close its window to end"
    wait "$MORVENTA" || true
    exit 0
fi
# Nobody can see this display: close the console as a user would.
drive close "$WINDOW_TITLE" >/dev/null
drive answer DA --exe Morventa.exe --timeout 20 >/dev/null ||
    echo "run: the close-down question did not come" >&2
for _ in $(seq 1 100); do
    kill -0 "$MORVENTA" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$MORVENTA" 2>/dev/null; then
    echo "run: Morventa did not end after its window closed" >&2
    exit 1
fi
echo "run: requests the registry received:"
sed 's/^/    /' "$VX_RUN/requests.log" 2>/dev/null || echo "    (none)"
exit 0
