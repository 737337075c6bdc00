#!/usr/bin/env bash
# Starts (or stops) a private PulseAudio daemon whose only sink is a null sink,
# for the PulseAudio output's tests. Nothing of the user's session is touched:
# the daemon has its own runtime dir, socket and no default.pa.
#   pulse_fixture.sh start STATE_DIR  -> socket at STATE_DIR/native, sink lumaro_null
#   pulse_fixture.sh stop STATE_DIR   -> stops the daemon it started
set -uo pipefail
cmd="$1"
S="$2"

stop_daemon() {
    [ -f "$S/pulseaudio.pid" ] || return 0
    pid="$(cat "$S/pulseaudio.pid")"
    kill "$pid" 2>/dev/null
    rm -f "$S/pulseaudio.pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
}

if [ "$cmd" = stop ]; then
    stop_daemon
    exit 0
fi

for tool in pulseaudio pactl parec; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (scripts/install-deps.sh)" >&2; exit 1; }
done
stop_daemon
rm -rf "$S"
mkdir -p "$S/home" "$S/run"
chmod 700 "$S/run"
printf 'autospawn = no\ndefault-server = unix:%s/native\n' "$S" > "$S/client.conf"
# Root has no per-user daemon: these options let one run all the same.
env HOME="$S/home" XDG_RUNTIME_DIR="$S/run" XDG_CONFIG_HOME="$S/home/.config" PULSE_CLIENTCONFIG="$S/client.conf" \
    pulseaudio --daemonize=no -n --exit-idle-time=-1 --realtime=no --high-priority=no --use-pid-file=no \
    --disallow-exit --log-target="file:$S/pulse.log" --log-level=notice \
    --load="module-native-protocol-unix socket=$S/native auth-anonymous=1" \
    --load="module-null-sink sink_name=lumaro_null rate=44100 channels=2" \
    > "$S/pulse.out" 2>&1 &
echo $! > "$S/pulseaudio.pid"
export PULSE_SERVER="unix:$S/native"
for _ in $(seq 100); do
    if pactl info >/dev/null 2>&1; then
        pactl set-default-sink lumaro_null
        exit 0
    fi
    kill -0 "$(cat "$S/pulseaudio.pid")" 2>/dev/null || break
    sleep 0.1
done
cat "$S/pulse.out" "$S/pulse.log" >&2
stop_daemon
exit 1
