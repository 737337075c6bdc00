# Sourced by the desktop tests: a work folder and a private X server with
# openbox, both taken down at exit, and the small waits the tests share.
# After sourcing: $work, DISPLAY, pids (add what you start to it).

work=$(mktemp -d /tmp/lumaro-desktop-XXXXXX)
pids=()
desktop_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  pkill -f "$work/" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap desktop_cleanup EXIT

# no sound device here: the engine plays into SDL's null output
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} QT_QPA_PLATFORM=xcb
# an X11 session: the hot key grabs on Xvfb, never on the desktop the run came from
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

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
# waits up to 10 s for a command to succeed
wait_for() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}

# the process's top-level window (the one 982 wide), waiting up to 30 s for it
main_window_of() {
  for _ in $(seq 300); do
    for w in $(xdotool search --pid "$1" 2>/dev/null); do
      xwininfo -id "$w" 2>/dev/null | grep -q 'Width: 982' && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# the outer edge of the window, its frame included when the window manager adds one
position() {
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
