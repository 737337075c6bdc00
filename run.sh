#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lumaro Radio on its bundled catalogue.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target lumaro-radio lumaro-catalogue stations_dat

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No desktop here: bring up a virtual one so the window still has a screen.
  export DISPLAY=:77
  if ! xdpyinfo >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
  fi
  echo "No display found: running on the virtual display $DISPLAY"
  echo "(look at it with: import -display $DISPLAY -window root shot.png)"
fi
runtime="${XDG_RUNTIME_DIR:-/run/user/$(id -u)}"
if [ -z "${SDL_AUDIODRIVER:-}" ] && [ -z "${PULSE_SERVER:-}" ] && ! ls /dev/snd/pcm* >/dev/null 2>&1 \
   && [ ! -S "$runtime/pulse/native" ] && [ ! -S "$runtime/pipewire-0" ]; then
  # No sound card and no sound server: play to a silent output, so the player
  # still runs and shows its stations, titles and meter.
  export SDL_AUDIODRIVER=dummy
  echo "No sound device found: playing to a silent output"
fi
exec build/LumaroRadio/lumaro-radio "$@"
