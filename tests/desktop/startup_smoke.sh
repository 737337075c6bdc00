#!/usr/bin/env bash
# Starts lumaro-radio from a fresh program directory on its own Xvfb and checks
# that the window comes up at its size, that the search copy was written beside
# the catalogue, and that a station argument places the window.
set -euo pipefail
program=$1
catalogue=$2

work=$(mktemp -d /tmp/lumaro-desktop-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cp "$program" "$catalogue" "$work/"
# no sound device here: the engine plays into SDL's null output
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# Xvfb picks a free display and tells us its number.
exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
# A window mapped while the window manager is still starting stays unmapped;
# openbox is ready once it has published its theme and work area.
for _ in $(seq 200); do
  [ "$(xprop -root _OB_THEME _NET_WORKAREA 2>/dev/null | grep -c '=')" = 2 ] && break
  sleep 0.05
done

fail() { echo "FAIL: $*" >&2; exit 1; }

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
# the outer edge of the window, its frame included when the window manager adds one
frame_position() {
  local info x y extents left top
  info=$(xwininfo -id "$1")
  x=$(sed -n 's/.*Absolute upper-left X: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p')
  left=0; top=0
  if [ -n "$extents" ]; then
    left=$(cut -d, -f1 <<<"$extents" | tr -d ' ')
    top=$(cut -d, -f3 <<<"$extents" | tr -d ' ')
  fi
  echo "$((x - left)),$((y - top))"
}
for _ in $(seq 50); do
  position=$(frame_position "$win")
  [ "$position" = "230,180" ] && break
  sleep 0.1
done
[ "$position" = "230,180" ] || fail "window at $position, expected 230,180"
echo "PASS"
