#!/usr/bin/env bash
# Installs what is missing, builds and starts Velsona.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run
# A build folder of its own, without the tests, so that it never leaves the
# test programs of build/ behind their sources.
cmake --preset run
cmake --build --preset run

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Velsona is built (build-run/ui/velsona) but there is no display to show its window on." >&2
  echo "Run it from a desktop session, or under a virtual one (package xvfb): xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
exec build-run/ui/velsona
