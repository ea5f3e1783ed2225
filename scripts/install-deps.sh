#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the program or the
# tests need and the machine lacks. Runs as root, or through sudo.
#   install-deps.sh run    what building and running the program needs
#   install-deps.sh test   that, and what every test needs
#   install-deps.sh default-test   that of run, and what the default preset's tests need
#   install-deps.sh shot   that, and what scripts/screenshot.sh needs
#   install-deps.sh valgrind   that, and what scripts/valgrind-window.sh needs
#   install-deps.sh bench  that, and what the benchmark scripts need
#   install-deps.sh windows   what cross-building Velsona.exe and its installer needs
#   install-deps.sh windows-test   that, and what its tests under Wine need, the default
#                                  build they compare with included
#   install-deps.sh shot-windows   that, and what scripts/screenshot-windows.sh needs
#   install-deps.sh web    what building the web edition (WebAssembly) needs
#   install-deps.sh web-test   that, and what its tests under node and in Chromium, Firefox
#                              and WebKitGTK need, the npm tools of tests/web/package.json and
#                              the default build they compare with included
#   install-deps.sh bench-web  that of web-test, and Lighthouse from npm for
#                              scripts/bench-lighthouse.sh
#   install-deps.sh locale   the Italian locale (it_IT.UTF-8), generated if missing;
#                            test, default-test and shot include it
# The names are those of Debian 12 and 13 alike (their default versions, as
# libclang-rt-dev for clang's run-time), save where the release chooses.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-liberation qt6-translations-l10n)
# The accessibility tests: a private X display and session bus, AT-SPI, Orca.
a11y=(xvfb xauth dbus-daemon libglib2.0-bin at-spi2-core gir1.2-atspi-2.0 python3-gi orca procps locales)
# The default preset's tests: GoogleTest, the install and package checks, and the accessibility tests.
default_test=(libgtest-dev binutils desktop-file-utils appstream dpkg-dev file imagemagick lintian "${a11y[@]}")
# On Debian 12 the test command builds and tests again in a Debian 13 tree
# (scripts/debian13.sh); on Debian 13 it needs none.
debian13_tree=()
[ "$(. /etc/os-release && echo "${VERSION_ID:-}")" != 12 ] || debian13_tree=(mmdebstrap bubblewrap)
windows=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools msitools wixl)
windows_test=(googletest wine wine64 xvfb xauth python3-pefile)
web=(cmake ninja-build emscripten nodejs libfast-float-dev)
# GoogleTest's sources; the page in three browser engines: Chromium, Firefox
# (driven by npm's puppeteer-core) and WebKitGTK (on a virtual display), in English and Italian.
web_test=(googletest chromium chromium-driver python3-selenium firefox-esr webkit2gtk-driver xvfb locales)
# npm installs the web tests' tools; a node from elsewhere may bring its own npm.
command -v npm > /dev/null || web_test+=(npm)
# The windows and web presets compare their outcomes with the default build's
# table (build/tests/digits/velsona_digits_table): their tests need that build,
# with its Qt and GoogleTest.
native=("${packages[@]}" libgtest-dev)
italian=no
lighthouse=no
npm_tools=no
case "${1:-run}" in
  locale) packages=(locales) italian=yes ;;
  windows) packages=("${windows[@]}") ;;
  windows-test) packages=("${native[@]}" "${windows[@]}" "${windows_test[@]}") ;;
  web) packages=("${web[@]}") ;;
  # With Orca beside a visible Chromium on a private display, in Italian.
  web-test) packages=("${native[@]}" "${web[@]}" "${web_test[@]}" "${a11y[@]}")
            italian=yes npm_tools=yes ;;
  default-test) packages+=("${default_test[@]}") italian=yes ;;
  test) packages+=("${default_test[@]}" clang libclang-rt-dev "${windows[@]}" "${windows_test[@]}" "${web[@]}"
                  "${web_test[@]}" "${debian13_tree[@]}")
        italian=yes npm_tools=yes ;;
  shot) packages+=(xvfb xauth xdotool imagemagick locales) italian=yes ;;
  # Wine's own fonts: the title bar's buttons are drawn from its Marlett.
  shot-windows) packages=("${windows[@]}" "${windows_test[@]}" xdotool imagemagick fonts-wine) ;;
  valgrind) packages+=(libgtest-dev valgrind) ;;
  bench) packages+=(libgtest-dev libbenchmark-dev xvfb xauth python3-xlib) ;;
  bench-web) packages=("${web[@]}" "${web_test[@]}") lighthouse=yes ;;
esac

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Italian locale, under which the program reads its decimal separator
# from the system in a test and in the screenshot. Debian ships it ungenerated.
if [ "$italian" = yes ] && ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
  echo "Generating the locale it_IT.UTF-8"
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'it_IT.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen
fi

# The web tests' npm tools (puppeteer-core, axe-core), at the versions that
# tests/web/package-lock.json pins, into tests/web/node_modules; again only
# when that lock changes, so that the tests themselves never need the network.
if [ "$npm_tools" = yes ]; then
  tools="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
  if ! cmp -s "$tools/package-lock.json" "$tools/node_modules/.installed-lock.json"; then
    echo "Installing the web tests' npm tools into $tools/node_modules"
    npm ci --prefix "$tools" --no-audit --no-fund
    cp "$tools/package-lock.json" "$tools/node_modules/.installed-lock.json"
  fi
fi

# Lighthouse, at a pinned release, from npm into a folder of its own that
# scripts/bench-lighthouse.sh runs it from. 12.x is the last line that runs
# on Debian's node (20); it drives the Chromium installed above.
if [ "$lighthouse" = yes ]; then
  lighthouse_dir=/opt/velsona/lighthouse
  lighthouse_version=12.8.2
  if ! grep -qs "\"version\": \"$lighthouse_version\"" "$lighthouse_dir/node_modules/lighthouse/package.json"; then
    echo "Installing lighthouse $lighthouse_version from npm into $lighthouse_dir"
    "${sudo[@]}" mkdir -p "$lighthouse_dir"
    "${sudo[@]}" npm install --no-save --no-audit --no-fund --prefix "$lighthouse_dir" "lighthouse@$lighthouse_version"
  fi
fi
