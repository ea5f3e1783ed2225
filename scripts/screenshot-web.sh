#!/usr/bin/env bash
# Retakes docs/screenshot-web.png, docs/screenshot-web-phone.png and
# docs/screenshot-web-phone-landscape.png: the page in headless Chromium on a
# desktop and on a phone upright (360 CSS px wide) and on its side (740), with
# a worked example typed in.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh web-test >&2
page=$(bash scripts/build-web.sh | tail -n 1)
/usr/bin/python3 scripts/web_page.py shots "$page" docs
