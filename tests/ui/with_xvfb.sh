#!/usr/bin/env bash
# Runs a command on a private Xvfb display with openbox as window manager,
# then takes both down. Usage: with_xvfb.sh COMMAND [ARGS...]
set -u
display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
# openbox announces itself on the root window when it is ready
for _ in $(seq 100); do DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
DISPLAY=$display QT_QPA_PLATFORM=xcb "$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $status
