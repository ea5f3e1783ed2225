#!/usr/bin/env bash
# Installs the build into a scratch folder and checks what a desktop reads
# from it: the program, the desktop entry and metainfo (validated), the icons.
#   check_install.sh BUILD ICON_SIZE...
set -euo pipefail
build=$1
shift
sizes=("$@")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

cmake --install "$build" --prefix "$root/usr" >/dev/null
id=org.velsona.Velsona
expected=(
  usr/bin/velsona
  "usr/share/applications/$id.desktop"
  "usr/share/metainfo/$id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$id.svg"
)
for size in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || { echo "missing: $file"; exit 1; }
done
[ -x "$root/usr/bin/velsona" ] || { echo "velsona is not executable"; exit 1; }
for size in "${sizes[@]}"; do
  got=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
  [ "$got" = "${size}x${size}" ] || { echo "icon ${size}: $got"; exit 1; }
done

desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop"
grep -qx "Exec=velsona" "$root/usr/share/applications/$id.desktop"
echo "install tree and validators: ok"
