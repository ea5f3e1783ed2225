#!/usr/bin/env bash
# Runs the program on a private X display and a private session bus with
# the accessibility bus switched on, as a desktop does for a screen reader,
# and has a client read and drive it through AT-SPI.
#   run_atspi.sh PROGRAM CLIENT [orca [ARGUMENT...]]
# With `orca`, Orca runs too, and the client gets the path of its log, then
# the ARGUMENTs. With `-` as the PROGRAM, the client starts what it reads.
# Nothing of the user's is touched: the buses, settings and caches live in a
# scratch folder that goes at the end.
set -euo pipefail
program=$1
client=$2

if [ -z "${VELSONA_ATSPI_SESSION:-}" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -m 700 "$scratch/run" "$scratch/config" "$scratch/cache" "$scratch/data"
  # The settings backend in memory, or the accessibility switch would stay on for the user.
  status=0
  VELSONA_ATSPI_SESSION=$scratch XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config" \
    XDG_CACHE_HOME="$scratch/cache" XDG_DATA_HOME="$scratch/data" GSETTINGS_BACKEND=memory \
    timeout 90 dbus-run-session -- bash "$0" "$@" || status=$?
  exit "$status"
fi

scratch=$VELSONA_ATSPI_SESSION
pids=()
cleanup() {
  # Orca (whose own shutdown may hang) first, so that script, its parent, reaps it.
  [ -z "${orca:-}" ] || { kill -KILL $(pgrep -P "$orca") 2>/dev/null; wait "$orca"; } || true
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

# The services the bus starts (the registry, which synthesizes key presses) use this display;
gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.UpdateActivationEnvironment "{'DISPLAY': '$DISPLAY'}" >/dev/null
# What a screen reader sets when it starts; Qt reads it once, when the program starts.
gdbus call --session --timeout 20 --dest org.a11y.Bus --object-path /org/a11y/bus \
  --method org.freedesktop.DBus.Properties.Set org.a11y.Status ScreenReaderEnabled '<true>' >/dev/null

if [ "${3:-}" = orca ]; then
  # Orca refuses to start beside the user's own Orca, which is left alone.
  pgrep -u "$(id -u)" -x orca >/dev/null && { echo "Orca already runs for this user: skipped"; exit 77; }
  locale -a | grep -qix it_IT.utf8 || { echo "no it_IT.UTF-8 locale: run scripts/install-deps.sh test"; exit 1; }
  # Orca writes its log line by line only to a terminal, which script gives it.
  LC_ALL=it_IT.UTF-8 script -qfec 'exec orca --debug-file=/dev/tty' "$scratch/orca.log" >/dev/null &
  orca=$! locale=it_IT.UTF-8
  pids+=("$orca")
  for _ in $(seq 150); do grep -qa 'SPEECH OUTPUT' "$scratch/orca.log" 2>/dev/null && break; sleep 0.1; done
fi

# The C locale's point as the decimal separator (Italian's comma with Orca), and
# nothing in the environment that would choose another platform or theme.
if [ "$program" = - ]; then program=true; fi
LC_ALL=${locale:-C.UTF-8} QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORMTHEME= \
  "$program" 2>"$scratch/program.log" &
program_pid=$!
pids+=("$program_pid")

status=0
/usr/bin/python3 "$client" "$program_pid" ${orca:+"$scratch/orca.log"} "${@:4}" || status=$?
if [ "$status" -ne 0 ]; then echo "--- the program's output:"; cat "$scratch/program.log"; fi
exit "$status"
