#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any is missing. Runs "apt-get update" at most once.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libicu-dev libx11-dev libxcb1-dev libxcb-keysyms1-dev
  libcurl4-openssl-dev libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libsdl2-dev libpulse-dev
  libxxhash-dev libsimdjson-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # run
  lame fonts-liberation2 ca-certificates
  # test: servers, decoders, a real X server with a window manager and a tray host
  ffmpeg icecast2 python3 python3-mutagen xvfb xauth openbox trayer xdotool x11-utils x11-xserver-utils imagemagick
  at-spi2-core appstream desktop-file-utils librsvg2-bin
  dbus-daemon openssl playerctl
  # the Debian package: cpack's dpkg-shlibdeps, the checker
  dpkg-dev file lintian
  # the PulseAudio output's test: a private daemon with a null sink, recorded by parec
  pulseaudio pulseaudio-utils
)

missing=()
for p in "${packages[@]}"; do
  if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
