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
# Larger images after it, for today's Windows shells and dense screens.
python3 windows/add-large-icons.py icons/velsona.ico icons/velsona-48.png icons/velsona-256.png
