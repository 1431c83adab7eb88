#!/usr/bin/env bash
# Saves a PNG of the whole X display ($DISPLAY) to the file named by the
# first argument: what the Wine programs show, for a person to look at.
set -euo pipefail
out="${1:?usage: screenshot.sh OUT.png}"
[ -n "${DISPLAY:-}" ] || { echo "screenshot: no DISPLAY" >&2; exit 2; }
mkdir -p "$(dirname "$out")"
# ImageMagick's own import: another "import" or "convert" may stand earlier on the PATH.
/usr/bin/import -display "$DISPLAY" -window root "$out"
[ -s "$out" ] || { echo "screenshot: nothing written to $out" >&2; exit 1; }
echo "$out"
