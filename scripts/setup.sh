#!/usr/bin/env bash
# Installs every package the builds and tests need on a fresh Debian 12
# machine, and builds the cached MinGW static libjpeg. Idempotent and quiet;
# quick when everything is already there.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${VX_CACHE:-$HOME/.cache/vx-build}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools cmake make g++ googletest
          libjpeg62-turbo-dev wine wine32:i386 wine64 xvfb xauth fonts-liberation
          fonts-wine imagemagick x11-utils python3 dpkg-dev)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    need_update=1
fi
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    echo "setup: installing ${missing[*]:-(package lists)}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq >/dev/null
    [ ${#missing[@]} -eq 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2> >(grep -v '^debconf: delaying' >&2)
fi

# apt's own folders for sources and pins (a machine may have moved them).
eval "$(apt-config shell APT_PARTS Dir::Etc::sourceparts/d APT_PINS Dir::Etc::preferencesparts/d)"
# The Debian 12 archive this machine's apt reads, whatever mirror that is
# (scripts/apt-archive finds it in apt's sources, in either format).
ARCHIVE_URI="$("$ROOT/scripts/apt-archive")" || ARCHIVE_URI=""
no_archive="apt's sources name no Debian 12 archive (no entry of suite bookworm)"

# QEMU's user-mode emulator, which runs Wine's 32-bit loader where the
# kernel cannot execute 32-bit code (scripts/with-i386). Debian 12's own
# 7.2 crashes under Wine, so it comes from bookworm-backports, which is
# enabled for this one package only, on the machine's own mirror. qemu-user
# alone: its binaries are static there, and it registers nothing with the
# machine's binfmt_misc (qemu-user-static would pull in qemu-user-binfmt,
# which does). The two files written are the setup's own; nothing of the
# machine's apt configuration is changed.
QEMU_PKG=qemu-user
BPO_SOURCE="${APT_PARTS:-/etc/apt/sources.list.d/}vx-backports.sources"
BPO_PIN="${APT_PINS:-/etc/apt/preferences.d/}vx-backports"
if ! dpkg-query -W -f='${Status} ${Version}' "$QEMU_PKG" 2>/dev/null | grep -q "install ok installed .*bpo"; then
    if ! bpo_source="$("$ROOT/scripts/apt-archive" --stanza deb bookworm-backports)"; then
        # Without it the Wine tests fall back to the x86_64 twin; say why.
        echo "setup: $QEMU_PKG is not installed from bookworm-backports: $no_archive" >&2
    else
        echo "setup: installing $QEMU_PKG from bookworm-backports ($ARCHIVE_URI)"
        printf '%s\n' "$bpo_source" | $SUDO tee "$BPO_SOURCE" >/dev/null
        printf 'Package: *\nPin: release n=bookworm-backports\nPin-Priority: -1\n\nPackage: %s\nPin: release n=bookworm-backports\nPin-Priority: 990\n' "$QEMU_PKG" |
            $SUDO tee "$BPO_PIN" >/dev/null
        export DEBIAN_FRONTEND=noninteractive
        log="$(mktemp)"
        if ! { $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends "$QEMU_PKG/bookworm-backports"; } >"$log" 2>&1; then
            echo "setup: $QEMU_PKG could not be installed from bookworm-backports:" >&2
            tail -5 "$log" >&2
            # A source apt cannot reach would make every later update fail.
            $SUDO rm -f "$BPO_SOURCE" "$BPO_PIN"
        fi
        rm -f "$log"
    fi
fi

# Debian's libjpeg-turbo source package, fetched into folder $1 with apt
# configured from scratch in a temporary folder: a source list of its own
# (deb-src of the machine's archive), its own package lists and cache. The
# machine's own apt files are only read.
fetch_libjpeg_source() {
    local dest="$1" src_source
    src_source="$("$ROOT/scripts/apt-archive" --stanza deb-src bookworm)" ||
        { echo "setup: libjpeg-turbo's source cannot be fetched: $no_archive" >&2; return 1; }
    apt_dir="$(mktemp -d)"
    trap 'rm -rf "$apt_dir"' EXIT
    # apt downloads as its own user where it runs as root.
    chmod 755 "$apt_dir"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$apt_dir/get"
    [ "$(id -u)" -ne 0 ] || ! id _apt >/dev/null 2>&1 || chown _apt "$apt_dir/get"
    printf '%s\n' "$src_source" >"$apt_dir/vx-src.sources"
    local apt_own=(-o "Dir::Etc::SourceList=$apt_dir/vx-src.sources" -o "Dir::Etc::SourceParts=$apt_dir/parts"
                   -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
    if ! { apt-get "${apt_own[@]}" update -qq &&
           (cd "$apt_dir/get" && apt-get "${apt_own[@]}" source --download-only -qq libjpeg-turbo); } \
         >"$apt_dir/log" 2>&1; then
        echo "setup: libjpeg-turbo's source could not be fetched from $ARCHIVE_URI:" >&2
        tail -5 "$apt_dir/log" >&2
        return 1
    fi
    mv "$apt_dir"/get/libjpeg-turbo_*.orig.tar.gz "$dest/"
    rm -rf "$apt_dir"; trap - EXIT
}

# IJG libjpeg for the cross builds: Debian's libjpeg-turbo source, built once
# per architecture into a cached static library.
for arch in i686 x86_64; do
    JPEG_PREFIX="$CACHE/libjpeg-mingw-$arch"
    [ -f "$JPEG_PREFIX/lib/libjpeg.a" ] && continue
    echo "setup: building libjpeg for MinGW $arch (once)"
    work="$CACHE/libjpeg-src"
    if [ ! -d "$work/src" ]; then
        rm -rf "$work"; mkdir -p "$work"
        fetch_libjpeg_source "$work"
        orig=$(ls "$work"/libjpeg-turbo_*.orig.tar.gz | head -1)
        mkdir -p "$work/src"
        tar xzf "$orig" -C "$work/src" --strip-components=1
    fi
    rm -rf "$work/build-$arch"
    cmake -S "$work/src" -B "$work/build-$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
        -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" >/dev/null
    cmake --build "$work/build-$arch" --target jpeg-static -j"$(nproc)" >/dev/null
    mkdir -p "$JPEG_PREFIX/lib" "$JPEG_PREFIX/include"
    cp "$work/build-$arch/libjpeg.a" "$JPEG_PREFIX/lib/"
    cp "$work/src/jpeglib.h" "$work/src/jmorecfg.h" "$work/src/jerror.h" "$work/build-$arch/jconfig.h" \
        "$JPEG_PREFIX/include/"
done
rm -rf "$CACHE/libjpeg-src"
