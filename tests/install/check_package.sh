#!/usr/bin/env bash
# Builds the Debian package into a scratch folder and checks its control
# fields and file list, then has Debian's own checker, lintian, pass it with
# no error and no warning. Installs nothing.
set -euo pipefail
build=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/velsona_"$version"_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
fail() { echo "$*"; exit 1; }

[ "$(field Package)" = velsona ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
# Computed from the program's shared libraries, with the font beside them.
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 fonts-liberation qt6-translations-l10n; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/velsona ./usr/share/applications/org.velsona.Velsona.desktop \
            ./usr/share/metainfo/org.velsona.Velsona.metainfo.xml \
            ./usr/share/icons/hicolor/32x32/apps/org.velsona.Velsona.png \
            ./usr/share/icons/hicolor/256x256/apps/org.velsona.Velsona.png \
            ./usr/share/icons/hicolor/scalable/apps/org.velsona.Velsona.svg \
            ./usr/share/man/man1/velsona.1.gz ./usr/share/doc/velsona/copyright \
            ./usr/share/doc/velsona/changelog.gz; do
  grep -qx "$file" <<<"$files" || fail "package lacks $file"
done
# Nothing of the build or the tests: only the program's own files under /usr.
if grep -vE '^\./usr(/|$)' <<<"$files" | grep -q .; then fail "files outside /usr"; fi
if grep -qiE 'test|\.a$|\.h$' <<<"$files"; then fail "build or test files in the package"; fi

# Every tag at warning level or above fails; informational ones are shown.
status=0
report=$(lintian --tag-display-limit 0 --fail-on error,warning "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || fail "lintian: errors or warnings above (status $status)"
echo "package $(basename "$deb"): ok"
