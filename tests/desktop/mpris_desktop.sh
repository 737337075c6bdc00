#!/usr/bin/env bash
# The real program on a real X server and a private session bus, driven as a
# desktop's media controls drive it: playerctl starts the station, reads the
# status and the titles of a loopback ICY radio as they change, stops and
# starts it, sets the volume; dbus-send raises and quits it. A second process
# takes an instance name beside the first.
set -euo pipefail
program=$1
catalogue_tool=$2

source "$(dirname "$0")/../support/desktop_session.sh"
support=$(cd "$(dirname "$0")/../support" && pwd)
mkdir -p "$work/home" "$work/prog"
cp "$program" "$work/prog/"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config

step() { echo "--- $*"; }

# the private session bus
dbus-daemon --session --nofork --nopidfile --print-address=1 >"$work/bus" &
pids+=($!)
wait_for test -s "$work/bus" || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

# the radio: twenty seconds of tone in a loop, its title in a file
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=20" -ac 2 -ar 44100 -b:a 128k "$work/tone.mp3"
echo "Miles Davis - So What" >"$work/title"
python3 "$support/icy_server.py" "$work/tone.mp3" "$work/title" "$work/port" &
pids+=($!)
wait_for test -s "$work/port" || fail "the ICY server did not start"
printf 'Loopback FM\tA test station\tJazz\tFrance\tFrench\thttp://127.0.0.1:%s/live\n' "$(cat "$work/port")" \
  >"$work/stations.txt"
"$catalogue_tool" build "$work/stations.txt" "$work/prog/stations.dat"

pctl() { playerctl -p LumaroRadio "$@" 2>/dev/null; }
is() { [ "$(pctl "${@:2}")" = "$1" ]; }
mpris_call() { # name, interface member
  dbus-send --session --print-reply --dest="$1" /org/mpris/MediaPlayer2 "$2" >/dev/null
}

step "start: the player is on the bus, stopped, with nothing to show"
(cd "$work/prog" && exec ./lumaro-radio) &
app=$!
pids+=($app)
wait_for is Stopped status || fail "no MPRIS player named LumaroRadio: $(busctl --user list 2>&1 | grep -i mpris)"
[ -z "$(pctl metadata xesam:title)" ] || fail "metadata before anything played"
[ "$(busctl --user get-property org.mpris.MediaPlayer2.LumaroRadio /org/mpris/MediaPlayer2 \
  org.mpris.MediaPlayer2 DesktopEntry)" = 's "org.lumaro.LumaroRadio"' ] || fail "DesktopEntry"

step "next: the selected row plays; its title reaches the desktop"
pctl next
wait_for is Playing status || fail "not playing after next: $(pctl status)"
wait_for is "So What" metadata xesam:title || fail "title: '$(pctl metadata xesam:title)'"
[ "$(pctl metadata xesam:artist)" = "Miles Davis" ] || fail "artist: '$(pctl metadata xesam:artist)'"
[ "$(pctl metadata xesam:album)" = "Loopback FM" ] || fail "album: '$(pctl metadata xesam:album)'"
first_track=$(pctl metadata mpris:trackid)

step "a new title: a new track"
echo "Station news" >"$work/title"
wait_for is "Station news" metadata xesam:title || fail "second title: '$(pctl metadata xesam:title)'"
[ "$(pctl metadata xesam:artist)" = "Loopback FM" ] || fail "artist of a plain title"
[ "$(pctl metadata mpris:trackid)" != "$first_track" ] || fail "the track id stayed"

step "play-pause stops, and starts again"
pctl play-pause
wait_for is Stopped status || fail "not stopped: $(pctl status)"
pctl play-pause
wait_for is Playing status || fail "not playing again: $(pctl status)"
wait_for is "Station news" metadata xesam:title || fail "title after the restart"

step "volume both ways"
pctl volume 0.3
wait_for is 0.300000 volume || fail "volume: $(pctl volume)"
pctl volume 7 # beyond the end: the knob's top
wait_for is 1.000000 volume || fail "volume 7: $(pctl volume)"

step "a second process takes an instance name"
(cd "$work/prog" && exec ./lumaro-radio a) &
second=$!
pids+=($second)
wait_for busctl --user status "org.mpris.MediaPlayer2.LumaroRadio.instance$second" >/dev/null 2>&1 ||
  fail "no instance name for the second process"
mpris_call "org.mpris.MediaPlayer2.LumaroRadio.instance$second" org.mpris.MediaPlayer2.Quit
wait_for bash -c "! kill -0 $second 2>/dev/null" || fail "the second process did not quit"

step "stop, then quit: the process ends as closed, settings written"
pctl stop
wait_for is Stopped status || fail "stop"
mpris_call org.mpris.MediaPlayer2.LumaroRadio org.mpris.MediaPlayer2.Quit
wait "$app" || fail "exit code $?"
[ -f "$work/prog/settings.dat" ] || fail "settings.dat not written"
echo "PASS"
