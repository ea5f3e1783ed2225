#!/usr/bin/env bash
# Runs a Windows program with windows under Wine, on a screen of DPI dots per
# inch, inside a Wine desktop of its own (Wine then draws the window frames
# itself, as Windows does, and needs no window manager on the display):
#   wine-window.sh DPI PREFIX PROGRAM [ARGS...]
# The density and the desktop are settings of the prefix; a prefix is set up
# once for one density.
set -euo pipefail
dpi=$1
prefix=$2
shift 2
run=$(dirname "$0")/../../cmake/wine-run.sh
stamp=$prefix/.velsona-window-$dpi
if [ ! -f "$stamp" ]; then
  hex=$(printf '0x%x' "$dpi")
  reg() { VELSONA_WINE_TIMEOUT=60 bash "$run" "$prefix" reg add "$@" /f >/dev/null; }
  # Both places Wine reads the density from: the user's and the machine's.
  reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$hex"
  reg 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d "$hex"
  reg 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Velsona
  reg 'HKCU\Software\Wine\Explorer\Desktops' /v Velsona /t REG_SZ /d 1280x1024
  # Wine draws the title bar's buttons with its own Marlett font (Debian
  # package fonts-wine), which it finds only in the prefix's Fonts folder.
  marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ]; then
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp "$marlett" "$prefix/drive_c/windows/Fonts/"
  fi
  # End the session, which writes the registry out, so that the next program
  # starts one that reads the new settings. (Waiting for it to end by itself
  # would wait out the server's persistence between programs.)
  WINEPREFIX=$prefix timeout 60 wineserver -k || true
  WINEPREFIX=$prefix timeout 60 wineserver -w
  rm -f "$prefix"/.velsona-window-*
  touch "$stamp"
fi
exec bash "$run" "$prefix" "$@"
