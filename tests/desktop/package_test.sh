#!/usr/bin/env bash
# Builds the Debian package with cpack and checks it as Debian would: the
# files it holds, its dependencies, stripped binaries, no lintian error; then
# unpacks it into a fresh root (not onto this machine) and starts the player
# the way the menu entry does, checking where its files land.
set -euo pipefail
build=$1
app_id=$2
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d /tmp/lumaro-package-XXXXXX)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
debs=("$out"/lumaro-radio_*.deb)
[ -f "${debs[0]}" ] || fail "no package made"
deb=${debs[0]}
echo "package: $(basename "$deb")"

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|')
expected=(
  /usr/bin/lumaro-radio
  /usr/bin/lumaro-catalogue
  /usr/share/lumaro-radio/stations.dat
  "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml"
  "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  "/usr/share/icons/hicolor/256x256/apps/$app_id.png"
  "/usr/share/icons/hicolor/16x16/apps/$app_id.png"
  /usr/share/doc/lumaro-radio/copyright
  /usr/share/doc/lumaro-radio/changelog.gz
  /usr/share/man/man1/lumaro-radio.1.gz
)
for f in "${expected[@]}"; do
  grep -qx "$f" <<<"$contents" || fail "not in the package: $f"
done
owners=$(dpkg-deb -c "$deb" | awk '{ print $2 }' | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in lame qt6-qpa-plugins libqt6widgets6 libc6; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d"
done
[ "$(dpkg-deb -f "$deb" Section)" = sound ] || fail "section"

root=$out/root
dpkg -x "$deb" "$root"
for b in lumaro-radio lumaro-catalogue; do
  file -L "$root/usr/bin/$b" | grep -q ', stripped' || fail "$b is not stripped"
done

# lintian: warnings and notes are shown, errors fail
lintian --tag-display-limit 0 --display-info "$deb" >"$out/lintian.txt" 2>&1 || true
cat "$out/lintian.txt"
! grep -q '^E: ' "$out/lintian.txt" || fail "lintian reports errors"
! grep -qE 'hardening-no-(relro|bindnow|fortify-functions)' "$out/lintian.txt" || fail "binaries not hardened"

# started as the menu starts it: the entry's Exec line, found on PATH
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$app_id.desktop")
[ -n "$exec_line" ] || fail "the menu entry has no Exec line"
"$here/file_layout.sh" installed "$root" "$exec_line"
echo "PASS: the package"
