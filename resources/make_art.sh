#!/usr/bin/env bash
# Regenerates the programs' art in resources/art: icons, bitmaps and the title picture.
# Run by hand when the art changes; the build uses the committed files and does not need this.
#
# Needs: tango-icon-theme (public-domain icons), librsvg2-bin (rsvg-convert), imagemagick,
# fonts-liberation. Icons hold 16, 32 and 48 pixel images, each stored as a 32-bit
# bitmap entry (not PNG) so every LoadImage accepts them.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
OUT="$HERE/art"
SRC="$HERE/art-src"
TANGO=/usr/share/icons/Tango
CONVERT=/usr/bin/convert   # not a stand-in earlier on the PATH
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"

for tool in rsvg-convert "$CONVERT"; do
    command -v "$tool" >/dev/null || { echo "make_art: $tool missing" >&2; exit 1; }
done
[ -d "$TANGO" ] || { echo "make_art: tango-icon-theme missing" >&2; exit 1; }

# ico NAME PNG16 PNG32 PNG48: one icon file from three square images.
ico() {
    local name="$1"; shift
    "$CONVERT" "$1" "$2" "$3" -alpha on -depth 8 "ICO:$OUT/$name.ico"
}

# tango NAME category/icon: the theme's hand-drawn 16 and 32 pixel images, 48 from its vector form.
tango() {
    local name="$1" icon="$2"
    rsvg-convert -w 48 -h 48 "$TANGO/scalable/$icon.svg" -o "$WORK/$name-48.png"
    ico "$name" "$TANGO/16x16/$icon.png" "$TANGO/32x32/$icon.png" "$WORK/$name-48.png"
}

# own NAME file.svg: an icon drawn for this project, rendered at each size.
own() {
    local name="$1" svg="$SRC/$2"
    for s in 16 32 48; do
        rsvg-convert -w "$s" -h "$s" "$svg" -o "$WORK/$name-$s.png"
    done
    ico "$name" "$WORK/$name-16.png" "$WORK/$name-32.png" "$WORK/$name-48.png"
}

# --- icons ---
# The programs.
tango Morventa   apps/preferences-desktop-remote-desktop
own   IPAdresa   ipadresa.svg
# Console main window.
tango VXWeb      categories/applications-internet
tango vx_setup   categories/preferences-system
tango VXRadnik   apps/system-users
tango VXdo       apps/system-software-update
tango VXVeza     status/network-transmit-receive
own   VXTxt      info.svg
tango VXPlan     mimetypes/x-office-document
own   Key        key.svg
own   VXKey      key-blue.svg
own   11_ok      start.svg
# Secondary windows.
tango VXUpute    apps/help-browser
own   ok         check.svg
tango VXPribadaca actions/document-save
tango VXplus     actions/list-add
tango VXizmjena  apps/accessories-text-editor
tango VXXPribadaca actions/process-stop
own   VXOznaci   checkbox.svg
tango VXIzlaz    actions/system-log-out
tango VXKnjiga   mimetypes/x-office-address-book
tango VXOtvori   actions/document-open
# Web-instructions window.
own   burn       play.svg
tango vx_ljevo   actions/go-previous
tango vx_desno   actions/go-next
tango _home      actions/go-home
tango process-accept actions/system-search
tango VXExit     actions/system-log-out

# --- bitmaps and the title picture ---
# Console background: a soft blue gradient with a faint light from the upper left.
"$CONVERT" -size 630x330 gradient:'#f5f9fe'-'#c4d9f1' \
    \( -size 630x330 radial-gradient:'#ffffff'-'#000000' -evaluate multiply 0.35 \) \
    -compose screen -composite -type TrueColor "BMP3:$OUT/Gradient.bmp"

# Title banner: deep blue to teal with a gentle wave, the name in white, centred: the main
# window puts its status light at the left end and its version and user at the right.
"$CONVERT" -size 60x630 gradient:'#1d4f91'-'#2a8c9e' -rotate 270 \
    \( -size 630x60 xc:none -fill 'rgba(255,255,255,0.10)' \
       -draw "path 'M 0,46 C 160,20 320,70 470,36 S 630,30 630,30 L 630,60 L 0,60 Z'" \
       -fill 'rgba(255,255,255,0.07)' \
       -draw "path 'M 0,54 C 200,34 380,64 630,44 L 630,60 L 0,60 Z'" \) \
    -composite \
    -font Liberation-Sans-Bold -pointsize 30 -gravity center \
    -fill 'rgba(0,0,0,0.35)' -annotate +2+2 'VO Zidavar' \
    -fill white -annotate +0+0 'VO Zidavar' \
    -quality 92 -sampling-factor 1x1 -strip "$OUT/Naslov.jpg"

# Status lights: 16x16 glossy discs. The corners carry the title banner's colour at its
# left end (#1e5192), where the main window shows them, so a plain copy blends in; a copy
# keyed on the top-left pixel's colour drops them on any background.
light() {  # name, dark, bright
    "$CONVERT" -size 64x64 xc:'#1e5192' \
        -fill "$2" -draw 'circle 32,32 32,4' \
        \( -size 64x64 radial-gradient:"$3"-none -crop 44x44+0+0 +repage -resize 64x64 \) \
        -geometry -6-6 -compose over -composite \
        -fill 'rgba(255,255,255,0.55)' -draw 'ellipse 26,20 10,6 0,360' \
        -stroke 'rgba(0,0,0,0.35)' -strokewidth 2 -fill none -draw 'circle 32,32 32,4' \
        -resize 16x16 -alpha off -type TrueColor "BMP3:$OUT/$1.bmp"
}
light lime '#3fae1f' '#c8ff7a'
light red  '#c0201c' '#ff9a8a'

# Reporter wallpaper: light graph paper that tiles seamlessly (256 divides by the 32 grid).
"$CONVERT" -size 256x256 xc:'#f3f7fb' \
    -stroke '#e3ebf4' -strokewidth 1 \
    -draw "$(for i in $(seq 0 8 255); do printf 'line %d,0 %d,255 line 0,%d 255,%d ' $i $i $i $i; done)" \
    -stroke '#cfdbea' \
    -draw "$(for i in $(seq 0 32 255); do printf 'line %d,0 %d,255 line 0,%d 255,%d ' $i $i $i $i; done)" \
    -type TrueColor "BMP3:$OUT/Plan.bmp"

echo "make_art: $(ls "$OUT" | wc -l) files in $OUT"
