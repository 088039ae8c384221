#!/bin/bash
# Renders the program's icon (packaging/icons/korvalo.svg) into the PNG sizes the desktop
# icon theme wants. Run after changing the SVG and commit the PNGs; the build does not
# need rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging/icons" && pwd)
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" "$icons/korvalo.svg" -o "$icons/${size}x${size}/korvalo.png"
done
