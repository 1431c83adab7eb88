# Sourced by the test and run commands: a throw-away Wine prefix per run
# (copied from a cached template), a private Xvfb display, and the settings
# without which Wine tests stall. Never touches ~/.wine.
VX_ROOT="${VX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
VX_CACHE="${VX_CACHE:-$HOME/.cache/vx-build}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# The programs are 32-bit, and the Wine tests run them wherever Wine's i386
# loader starts: natively, or emulated inside scripts/with-i386, which sets
# VX_I386_MODE. Where it cannot start (or VX_WINE_WIDTH=64 asks for it) they
# run the x86_64 build of the same sources under wine64 instead.
if [ "${VX_WINE_WIDTH:-}" != 64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export VX_WINE_BUILD=win32 WINEARCH=win32 VX_WINE_LOADER=/usr/lib/wine/wine
else
    export VX_WINE_BUILD=win64 WINEARCH=win64 VX_WINE_LOADER=/usr/lib/wine/wine64
fi

# One line: which build the Wine side runs and how.
vx_wine_how() {
    if [ "$VX_WINE_BUILD" = win32 ]; then
        case "${VX_I386_MODE:-native}" in
            emulated) echo "build/win32 (the shipped i686 programs), run by QEMU's user-mode emulator in a private namespace" ;;
            *) echo "build/win32 (the shipped i686 programs), run natively" ;;
        esac
    elif [ "${VX_WINE_WIDTH:-}" = 64 ]; then
        echo "build/win64 (the x86_64 twin) under wine64"
    else
        echo "build/win64 (the x86_64 twin) under wine64, not the shipped i686 programs: ${VX_I386_WHY:-the 32-bit loader of Wine does not start here}"
    fi
}

vx_wine_template() {
    local tpl="$VX_CACHE/wineprefix-$WINEARCH-v2"
    if [ ! -f "$tpl/.vx-ready" ]; then
        rm -rf "$tpl"
        mkdir -p "$VX_CACHE"
        WINEPREFIX="$tpl" "$VX_WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
        WINEPREFIX="$tpl" wineserver -w
        WINEPREFIX="$tpl" "$VX_WINE_LOADER" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f </dev/null >/dev/null 2>&1
        # A crashing program must end, not wait in the automatic debugger.
        WINEPREFIX="$tpl" "$VX_WINE_LOADER" reg delete "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" /v Debugger /f </dev/null >/dev/null 2>&1 || true
        # Fixed fonts: the window title buttons Wine draws itself need marlett.
        mkdir -p "$tpl/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$tpl/drive_c/windows/Fonts/" 2>/dev/null || true
        WINEPREFIX="$tpl" wineserver -w
        touch "$tpl/.vx-ready"
    fi
    echo "$tpl"
}

# Starts a session: VX_RUN (a fresh folder), WINEPREFIX, DISPLAY (own Xvfb
# unless VX_USE_DISPLAY=1 and a display is there).
vx_wine_session_start() {
    export VX_RUN="$(mktemp -d /tmp/vx-run.XXXXXX)"
    local tpl
    tpl="$(vx_wine_template)"
    cp -a "$tpl" "$VX_RUN/prefix"
    export WINEPREFIX="$VX_RUN/prefix"
    if [ "${VX_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        "$VX_ROOT/scripts/wine-up"
        return
    fi
    # Xvfb picks a free display itself and writes its number to the fd.
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$VX_RUN/display" </dev/null >/dev/null 2>&1 &
    echo $! >"$VX_RUN/xvfb.pid"
    for _ in $(seq 1 200); do
        [ -s "$VX_RUN/display" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -1 "$VX_RUN/display")"
    # wineserver with its stdio detached, before anything else starts Wine.
    "$VX_ROOT/scripts/wine-up"
}

vx_wine_session_stop() {
    [ -n "${VX_RUN:-}" ] || return 0
    WINEPREFIX="$VX_RUN/prefix" wineserver -k >/dev/null 2>&1 || true
    if [ -f "$VX_RUN/xvfb.pid" ]; then
        kill "$(cat "$VX_RUN/xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$VX_RUN"
}
