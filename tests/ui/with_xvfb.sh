#!/usr/bin/env bash
# Runs a command on a private Xvfb display with openbox as window manager,
# then takes both down. Usage: with_xvfb.sh COMMAND [ARGS...]
set -u
fifo_dir=$(mktemp -d)
trap 'rm -rf "$fifo_dir"' EXIT
# Xvfb picks a free display itself and writes its number to fd 3
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo_dir/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do [ -s "$fifo_dir/display" ] && break; sleep 0.05; done
[ -s "$fifo_dir/display" ] || { echo "Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; exit 1; }
display=":$(head -n1 "$fifo_dir/display")"
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
# openbox is ready once it has published its theme and work area (it
# announces itself earlier, before it manages new windows reliably)
for _ in $(seq 200); do
  DISPLAY=$display xprop -root _OB_THEME _NET_WORKAREA 2>/dev/null | grep -c '=' | grep -q 2 && break
  sleep 0.05
done
# an X11 session: nothing of a Wayland desktop the run may have started from
unset WAYLAND_DISPLAY XDG_SESSION_TYPE
DISPLAY=$display QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $status
