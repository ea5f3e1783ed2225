#!/usr/bin/env bash
# The web edition as Lighthouse scores it on a phone: npm's lighthouse with
# Debian's Chromium against the page served on 127.0.0.1, mobile form factor
# (simulated slow 4G and a 4x slower CPU). Prints performance as the median
# of the runs, accessibility, best practices and SEO, and what it found.
#   bash scripts/bench-lighthouse.sh [runs]      (default: 3)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench-web >&2
page=$(bash scripts/build-web.sh | tail -n 1)
/usr/bin/python3 scripts/bench_lighthouse.py "$page" "${1:-3}" /opt/velsona/lighthouse/node_modules/.bin/lighthouse
