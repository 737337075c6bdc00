#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what lands where: the
# programs, the bundled catalogue, the menu entry and AppStream file (both
# valid for the desktop's own checkers), the icon in every size, that the
# scalable icon is the same picture as the drawn one, and where the installed
# program writes its files when it runs.
set -euo pipefail
build=$1
app_id=$2
prefix=$(mktemp -d /tmp/lumaro-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/lumaro-radio
  bin/lumaro-catalogue
  share/lumaro-radio/stations.dat
  "share/applications/$app_id.desktop"
  "share/metainfo/$app_id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  share/doc/lumaro-radio/copyright
  share/doc/lumaro-radio/changelog.gz
  share/man/man1/lumaro-radio.1.gz
  share/man/man1/lumaro-catalogue.1.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for f in "${expected[@]}"; do
  [ -s "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/lumaro-radio" ] || fail "lumaro-radio is not executable"
# nothing else: a stray file in an installed tree is a packaging fault
extra=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$extra" ] || fail "unexpected files installed: $extra"

desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop entry"
grep -qx "Icon=$app_id" "$prefix/share/applications/$app_id.desktop" || fail "desktop entry names another icon"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "metainfo"

for size in 16 48 256; do
  identify -format '%w %h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png" | grep -qx "$size $size" ||
    fail "the ${size} px icon has another size"
done
# the SVG and the drawn icon: one design (a small difference for anti-aliasing)
rsvg-convert -w 256 -h 256 "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" -o "$prefix/svg.png"
# (compare exits 1 whenever the pictures differ at all)
difference=$( (compare -metric RMSE "$prefix/svg.png" "$prefix/share/icons/hicolor/256x256/apps/$app_id.png" null: 2>&1 || true) |
  sed 's/.*(\(.*\))/\1/')
awk -v d="$difference" 'BEGIN { exit !(d < 0.02) }' || fail "the SVG icon differs from the drawn one (RMSE $difference)"
echo "installed tree complete; icon difference $difference"
rm "$prefix/svg.png"

"$(dirname "$0")/file_layout.sh" installed "$prefix"
