#!/usr/bin/env bash
# Installs Velsona from its MSI quietly in a Wine prefix of its own, checks
# the program, its Start-menu shortcut and its uninstall entry are there and
# that the installed program starts and closes, then uninstalls it and checks
# nothing is left.
#   check_msi.sh PREFIX MSI CLOSE_WINDOW_EXE
set -euo pipefail
prefix=$1
msi=$(realpath "$2")
closer=$(realpath "$3")
here=$(dirname "$0")
wine() { bash "$here/wine-window.sh" 96 "$prefix" "$@"; }
status=0
fail() { echo "FAIL: $*"; status=1; }
ok() { echo "ok   $*"; }

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
program="$prefix/drive_c/Program Files/Velsona/Velsona.exe"
shortcuts() { find "$prefix/drive_c" -path '*Start Menu/Programs/Velsona.lnk' 2>/dev/null; }
entries() { wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | grep -c 'DisplayName *REG_SZ *Velsona$' || true; }

# A clean start: nothing of an earlier run.
wine msiexec /x "$msi" /qn >/dev/null 2>&1 || true

wine msiexec /i "$msi" /qn && ok "msiexec /i ended with 0" || fail "msiexec /i failed"
[ -f "$program" ] && ok "Velsona.exe under Program Files\\Velsona" || fail "no $program"
[ -n "$(shortcuts)" ] && ok "Start-menu shortcut: $(shortcuts | sed "s|$prefix/||")" || fail "no Start-menu shortcut"
[ "$(entries)" = 1 ] && ok "one uninstall entry named Velsona" || fail "uninstall entries: $(entries)"
# The list of installed programs shows the product's icon, which Windows
# Installer keeps with the product's registration.
icon=$(wine reg query 'HKCR\Installer\Products' /s 2>/dev/null | tr -d '\r' |
  sed -n 's/^ *ProductIcon *REG_SZ *//p' | head -1)
icon_file="$prefix/drive_c/${icon#C:\\}"
icon_file=${icon_file//\\//}
[ -n "$icon" ] && [ -f "$icon_file" ] && ok "the product's icon: $icon" || fail "no product icon ($icon)"

# The installed program starts, shows its window and ends when it is closed.
wine 'C:\Program Files\Velsona\Velsona.exe' &
started=$!
if wine "$closer" 30; then ok "the installed program runs"; else fail "the installed program did not run"; fi
wait "$started" || fail "the installed program ended with an error"

wine msiexec /x "$msi" /qn && ok "msiexec /x ended with 0" || fail "msiexec /x failed"
[ ! -e "$program" ] && ok "Velsona.exe removed" || fail "Velsona.exe left behind"
[ ! -e "$prefix/drive_c/Program Files/Velsona" ] && ok "its folder removed" || fail "Program Files\\Velsona left behind"
[ -z "$(shortcuts)" ] && ok "shortcut removed" || fail "shortcut left behind: $(shortcuts)"
[ "$(entries)" = 0 ] && ok "uninstall entry removed" || fail "uninstall entry left behind"
[ -z "$icon" ] || [ ! -e "$icon_file" ] && ok "product icon removed" || fail "product icon left behind"
exit $status
