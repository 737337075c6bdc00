#!/usr/bin/env bash
# Starts lumaro-radio from a fresh program directory on its own Xvfb and checks
# that the window comes up at its size, that the search copy was written beside
# the catalogue, and that a station argument places the window.
set -euo pipefail
program=$1
catalogue=$2

source "$(dirname "$0")/../support/desktop_session.sh"
cp "$program" "$catalogue" "$work/"

# the id of the process's mapped top-level window, waiting up to 20 s for it
window_of() {
  for _ in $(seq 200); do
    for w in $(xdotool search --pid "$1" 2>/dev/null); do
      if xwininfo -id "$w" 2>/dev/null | grep 'Map State: IsViewable' >/dev/null; then echo "$w"; return 0; fi
    done
    sleep 0.1
  done
  return 1
}

"$work/lumaro-radio" &
app=$!
pids+=($app)
win=$(window_of "$app") || fail "no window appeared"
geometry=$(xdotool getwindowgeometry "$win")
echo "$geometry"
grep -q 'Geometry: 982x480' <<<"$geometry" || fail "window is not 982x480"
[ -s "$work/utf8stations.dat" ] || fail "utf8stations.dat was not written beside stations.dat"
[ -d "$work/LumaroRadioRecordings" ] || fail "the recordings folder was not made"
kill "$app"; wait "$app" 2>/dev/null || true

# a second copy opened on catalogue line 3 beside a window at 200,150
"$work/lumaro-radio" "s@3@200@150" &
app=$!
pids+=($app)
win=$(window_of "$app") || fail "no window appeared for the station argument"
xdotool windowactivate --sync "$win" 2>/dev/null || true
for _ in $(seq 50); do
  position=$(position "$win")
  [ "$position" = "230,180" ] && break
  sleep 0.1
done
[ "$position" = "230,180" ] || fail "window at $position, expected 230,180"
echo "PASS"
