#!/usr/bin/env bash
# A Debian 13 tree beside a Debian 12 machine, made with mmdebstrap from
# Debian's packages and kept between runs outside the clone, in which the
# build that ships is made and tested as on a Debian 13 machine, and the
# package built on this machine is installed and used.
#   debian13.sh tree           makes the tree, or brings it up to what
#                              `install-deps.sh default-test` lists
#   debian13.sh test [DEB [TABLE]]   the default preset built and tested in
#                              the tree (Orca included); with DEB, that package
#                              then installed there with apt and used over
#                              AT-SPI; with TABLE, the velsona_digits_table of
#                              a build here, whose outcomes the tree's must match
#   debian13.sh run CMD...     any command in the tree, from the clone
#   debian13.sh full           the whole test command in the tree, on a copy
#                              of the clone's files in its /root/velsona
# The clone is seen read-only at /velsona in the tree; the builds are the
# tree's own. VELSONA_DEBIAN13_TREE chooses the folder (default below): give
# `full` a tree of its own, as it installs what every test needs.
# Runs as root, or through sudo.
#
# Every command in the tree runs under bubblewrap, never a plain chroot: its
# /dev, /proc and temporary folders are mounted in its own namespace and go
# with it, so no folder of the tree ever leads into the machine's own /dev or
# /proc, and removing the tree can never reach them. mmdebstrap, which mounts
# them in the tree while it installs, runs in a mount namespace of its own too.
set -euo pipefail
[ "$(id -u)" -eq 0 ] || exec sudo --preserve-env=VELSONA_DEBIAN13_TREE bash "$0" "$@"
clone=$(cd "$(dirname "$0")/.." && pwd)
tree=${VELSONA_DEBIAN13_TREE:-/var/cache/velsona/debian13}
# What the tree is made from; a tree made from anything else is made again.
made_from="trixie apt ca-certificates"
sources=("deb http://deb.debian.org/debian trixie main"
         "deb http://deb.debian.org/debian trixie-updates main"
         "deb http://deb.debian.org/debian-security trixie-security main")
build=/var/cache/velsona-build  # in the tree

in_tree() {
  local binds=()
  [ -e /etc/resolv.conf ] && binds+=(--ro-bind /etc/resolv.conf /etc/resolv.conf)
  bwrap --bind "$tree" / --dev /dev --proc /proc --perms 1777 --tmpfs /tmp --perms 1777 --tmpfs /dev/shm \
    --ro-bind "$clone" /velsona "${binds[@]}" "${extra_binds[@]}" --unshare-pid --die-with-parent --share-net \
    --clearenv --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin --setenv HOME /root --setenv LANG C.UTF-8 \
    --setenv VELSONA_CLONE "$clone" --chdir "$here" "$@"
}
extra_binds=()
here=/velsona

# One user of the tree at a time, across clones.
lock() {
  mkdir -p "$(dirname "$tree")"
  exec 9>"$tree.lock"
  flock 9
}

make_tree() {
  lock
  if [ "$(cat "$tree/.velsona-tree" 2>/dev/null)" != "$made_from" ]; then
    if [ -e "$tree" ]; then
      echo "Removing the Debian 13 tree in $tree, made from something else or not finished"
      rm -rf --one-file-system "$tree"
    fi
    echo "Making a Debian 13 tree in $tree"
    unshare --mount --propagation private -- \
      mmdebstrap --quiet --variant=apt --include=ca-certificates trixie "$tree" "${sources[@]}"
    echo "$made_from" > "$tree/.velsona-tree"
  fi
  # TLS clients in the tree trust its own certificates only: the machine's
  # are added to them (among them any that this network's proxy needs), as
  # npm needs them when the whole test command runs in the tree.
  extra_binds=(--ro-bind /etc/ssl/certs/ca-certificates.crt /run/machine-certificates.crt)
  # shellcheck disable=SC2016
  in_tree bash -c '
    mine=/usr/local/share/ca-certificates/machine
    cmp -s /run/machine-certificates.crt "$mine/all.pem" && exit 0
    rm -rf "$mine" && mkdir -p "$mine" && cp /run/machine-certificates.crt "$mine/all.pem"
    awk -v mine="$mine" "/BEGIN CERTIFICATE/ { file = sprintf(\"%s/%03d.crt\", mine, ++n) }
                         file { print > file } /END CERTIFICATE/ { close(file); file = \"\" }" "$mine/all.pem"
    update-ca-certificates >/dev/null'
  extra_binds=()
  in_tree bash scripts/install-deps.sh default-test
  in_tree apt-get clean
}

test_in_tree() {
  local deb=${1:-} table=${2:-}
  [ -f "$tree/.velsona-tree" ] || { echo "No Debian 13 tree in $tree: run scripts/debian13.sh tree"; exit 1; }
  lock
  [ -z "$deb" ] || extra_binds+=(--ro-bind "$(realpath "$deb")" /tmp/velsona.deb)
  [ -z "$table" ] || extra_binds+=(--ro-bind "$(realpath "$table")" /tmp/velsona_digits_table)
  in_tree bash scripts/debian13.sh --inside "${deb:+/tmp/velsona.deb}" "${table:+/tmp/velsona_digits_table}"
}

# In the tree: the default preset in a build folder of the tree's, made anew
# for another clone (whose sources may be older than what it built).
inside() {
  . /etc/os-release
  echo "$PRETTY_NAME, $(cat /etc/debian_version): Qt $(dpkg-query -W -f '${Version}' qt6-base-dev)," \
    "$(g++ --version | head -1)"
  if [ "$(cat "$build/.velsona-clone" 2>/dev/null)" != "$VELSONA_CLONE" ]; then
    rm -rf --one-file-system "$build"
    mkdir -p "$build"
    echo "$VELSONA_CLONE" > "$build/.velsona-clone"
  fi
  cmake --preset default -B "$build"
  cmake --build "$build"
  ctest --test-dir "$build" -j "$(nproc)" --output-on-failure
  if [ -n "${2:-}" ]; then
    echo "The outcomes of every short text, from the compilers of Debian 12 and of Debian 13"
    bash tests/digits/compare.sh "$2" -- "$build/tests/digits/velsona_digits_table"
  fi
  [ -n "${1:-}" ] || return 0
  # The package built on Debian 12, installed as a user would, then one
  # calculation in the installed program through AT-SPI; it is removed after.
  echo "Installing $(dpkg-deb -f "$1" Package) $(dpkg-deb -f "$1" Version), built on Debian 12, with apt"
  trap 'dpkg --purge velsona >/dev/null' EXIT
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$1"
  bash tests/a11y/run_atspi.sh /usr/bin/velsona tests/a11y/atspi_client.py
}

case "${1:-}" in
  tree) make_tree ;;
  test) test_in_tree "${2:-}" "${3:-}" ;;
  run) shift; lock; in_tree "$@" ;;
  full)
    make_tree  # and holds the tree's lock from here on
    # A fresh copy, as a new clone is: builds of an earlier copy, older than its files, would pass for new.
    rm -rf --one-file-system "$tree/root/velsona"
    mkdir -p "$tree/root/velsona"
    (cd "$clone" && git -c safe.directory='*' ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) |
      tar -xf - -C "$tree/root/velsona"
    here=/root/velsona in_tree bash scripts/test.sh ;;
  --inside) inside "${2:-}" "${3:-}" ;;
  *) sed -n '2,18p' "$0"; exit 2 ;;
esac
