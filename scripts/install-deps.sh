#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the program or the
# tests need and the machine lacks. Runs as root, or through sudo.
#   install-deps.sh run    what building and running the program needs
#   install-deps.sh test   that, and what every test needs
#   install-deps.sh shot   that, and what scripts/screenshot.sh needs
#   install-deps.sh valgrind   that, and what scripts/valgrind-window.sh needs
#   install-deps.sh bench  that, and what the benchmark scripts need
#   install-deps.sh windows   what cross-building Velsona.exe and its installer needs
#   install-deps.sh windows-test   that, and what its tests under Wine need
#   install-deps.sh web    what building the web edition (WebAssembly) needs
#   install-deps.sh web-test   that, and what its tests under node and Chromium need
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-liberation qt6-translations-l10n)
windows=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools msitools wixl)
windows_test=(googletest wine wine64 xvfb xauth python3-pefile)
web=(cmake ninja-build emscripten nodejs libfast-float-dev)
# The native digits table to compare with; the page in a real browser.
web_test=(g++ googletest chromium chromium-driver python3-selenium)
# npm installs axe-core; a node from elsewhere may bring its own npm.
command -v npm > /dev/null || web_test+=(npm)
case "${1:-run}" in
  windows) packages=("${windows[@]}") ;;
  windows-test) packages=("${windows[@]}" "${windows_test[@]}") ;;
  web) packages=("${web[@]}") ;;
  web-test) packages=("${web[@]}" "${web_test[@]}") ;;
  test) packages+=(libgtest-dev binutils desktop-file-utils appstream dpkg-dev file imagemagick lintian
                  clang libclang-rt-14-dev
                  xvfb xauth dbus-daemon libglib2.0-bin at-spi2-core gir1.2-atspi-2.0 python3-gi orca locales procps
                  "${windows[@]}" "${windows_test[@]}" "${web[@]}" "${web_test[@]}") ;;
  shot) packages+=(xvfb xauth xdotool imagemagick) ;;
  valgrind) packages+=(libgtest-dev valgrind) ;;
  bench) packages+=(libgtest-dev libbenchmark-dev xvfb xauth python3-xlib) ;;
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

# The screen reader test runs under Italian regional settings: generate
# them where they are missing, beside whatever locales the machine has.
if [ "${1:-run}" = test ] && ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
  if grep -q '^# *it_IT.UTF-8 UTF-8' /etc/locale.gen; then
    "${sudo[@]}" sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  else
    echo 'it_IT.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo[@]}" locale-gen
fi
