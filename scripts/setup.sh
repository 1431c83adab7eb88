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

# QEMU's user-mode emulator, which runs Wine's 32-bit loader where the
# kernel cannot execute 32-bit code (scripts/with-i386). Debian 12's own
# 7.2 crashes under Wine, so it comes from bookworm-backports, which is
# enabled for this one package only. qemu-user alone: its binaries are
# static there, and it registers nothing with the machine's binfmt_misc
# (qemu-user-static would pull in qemu-user-binfmt, which does).
QEMU_PKG=qemu-user
if ! dpkg-query -W -f='${Status} ${Version}' "$QEMU_PKG" 2>/dev/null | grep -q "install ok installed .*bpo"; then
    echo "setup: installing $QEMU_PKG from bookworm-backports"
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        $SUDO tee /etc/apt/sources.list.d/vx-backports.sources >/dev/null
    printf 'Package: *\nPin: release n=bookworm-backports\nPin-Priority: -1\n\nPackage: %s\nPin: release n=bookworm-backports\nPin-Priority: 990\n' "$QEMU_PKG" |
        $SUDO tee /etc/apt/preferences.d/vx-backports >/dev/null
    export DEBIAN_FRONTEND=noninteractive
    log="$(mktemp)"
    if ! { $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends "$QEMU_PKG/bookworm-backports"; } >"$log" 2>&1; then
        # Without it the Wine tests fall back to the x86_64 twin; say why.
        echo "setup: $QEMU_PKG could not be installed from bookworm-backports:" >&2
        tail -5 "$log" >&2
    fi
    rm -f "$log"
fi

# IJG libjpeg for the cross builds: Debian's libjpeg-turbo source, built once
# per architecture into a cached static library.
for arch in i686 x86_64; do
    JPEG_PREFIX="$CACHE/libjpeg-mingw-$arch"
    [ -f "$JPEG_PREFIX/lib/libjpeg.a" ] && continue
    echo "setup: building libjpeg for MinGW $arch (once)"
    work="$CACHE/libjpeg-src"
    if [ ! -d "$work/src" ]; then
        rm -rf "$work"; mkdir -p "$work"
        src_list=/etc/apt/sources.list.d/debian.sources
        backup="$work/debian.sources.orig"
        cp "$src_list" "$backup"
        restore() { cp "$backup" "$src_list"; $SUDO apt-get update -qq >/dev/null || true; }
        trap restore EXIT
        sed -i 's/^Types: deb$/Types: deb deb-src/' "$src_list"
        $SUDO apt-get update -qq >/dev/null
        (cd "$work" && apt-get source --download-only -qq libjpeg-turbo >/dev/null 2>&1)
        restore; trap - EXIT
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
