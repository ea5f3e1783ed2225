#!/usr/bin/env bash
# The web edition's benchmark: the median time from navigation to the first
# field focused, in headless Chromium on 127.0.0.1 with the cache off, and
# the size of the folder a host serves, raw and gzipped.
#   bash scripts/bench-web.sh [runs]      (default: 20)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh web-test >&2
page=$(bash scripts/build-web.sh | tail -n 1)
/usr/bin/python3 scripts/web_page.py bench "$page" "${1:-20}"
