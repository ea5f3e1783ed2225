#!/usr/bin/env bash
# Renders the application icon's PNG images from its SVG source; run it after
# changing velsona.svg and commit the images (192 and 512 are the web
# edition's). Needs librsvg2-bin and imagemagick.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p icons
for size in 48 64 128 256 192 512; do
  rsvg-convert -w "$size" -h "$size" velsona.svg -o "icons/velsona-$size.png"
done
# The window and application icon: 32 x 32 in 256 colours (an 8-bit palette).
rsvg-convert -w 32 -h 32 velsona.svg -o icons/velsona-32-rgba.png
convert icons/velsona-32-rgba.png -colors 256 PNG8:icons/velsona-32.png
rm icons/velsona-32-rgba.png
# The same image for the Windows executable.
convert icons/velsona-32.png -colors 256 icons/velsona.ico
# The other sizes after it: the title bar's and Explorer's small icon at 100 %,
# 125 % and 150 % (16, 20, 24), and the larger ones of today's shells and
# dense screens. The sizes the package does not install are made here only.
small=$(mktemp -d)
trap 'rm -rf "$small"' EXIT
for size in 16 20 24 40; do
  rsvg-convert -w "$size" -h "$size" velsona.svg -o "$small/velsona-$size.png"
done
python3 windows/add-large-icons.py icons/velsona.ico "$small/velsona-16.png" "$small/velsona-20.png" \
  "$small/velsona-24.png" "$small/velsona-40.png" icons/velsona-48.png icons/velsona-64.png icons/velsona-256.png
