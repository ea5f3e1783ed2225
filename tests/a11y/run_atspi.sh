#!/usr/bin/env bash
# Runs the program on a private X display and a private session bus with
# the accessibility bus switched on, as a desktop does for a screen reader,
# and has atspi_client.py read and drive it through AT-SPI.
#   run_atspi.sh PROGRAM CLIENT [LOCALE SEPARATOR]
# The program runs under LOCALE (C.UTF-8), whose decimal separator the
# client expects in the results (".").
# Nothing of the user's is touched: the buses, settings and caches live in a
# scratch folder that goes at the end.
set -euo pipefail
program=$1
client=$2
locale=${3:-C.UTF-8}
separator=${4:-.}
if ! locale -a 2>/dev/null | grep -qix "$(echo "$locale" | sed 's/UTF-8/utf8/I')"; then
  echo "the locale $locale is missing: bash scripts/install-deps.sh locale"
  exit 1
fi

if [ -z "${VELSONA_ATSPI_SESSION:-}" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -m 700 "$scratch/run" "$scratch/config" "$scratch/cache"
  # The settings backend in memory, or the accessibility switch would stay on for the user.
  status=0
  VELSONA_ATSPI_SESSION=$scratch XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config" \
    XDG_CACHE_HOME="$scratch/cache" GSETTINGS_BACKEND=memory \
    timeout 90 dbus-run-session -- bash "$0" "$@" || status=$?
  exit "$status"
fi

scratch=$VELSONA_ATSPI_SESSION
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { echo "Xvfb did not start"; cat "$scratch/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"

# What a screen reader sets when it starts; Qt reads it once, when the program starts.
gdbus call --session --timeout 20 --dest org.a11y.Bus --object-path /org/a11y/bus \
  --method org.freedesktop.DBus.Properties.Set org.a11y.Status ScreenReaderEnabled '<true>' >/dev/null

# The locale's decimal separator, read from the system as a user's would be,
# and nothing in the environment that would choose another platform or theme.
LC_ALL=$locale QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORMTHEME= \
  "$program" 2>"$scratch/program.log" &
program_pid=$!
pids+=("$program_pid")

status=0
/usr/bin/python3 "$client" "$program_pid" "$separator" || status=$?
if [ "$status" -ne 0 ]; then echo "--- the program's output:"; cat "$scratch/program.log"; fi
exit "$status"
