#!/usr/bin/env bash
# Where a real run of the program writes its files, on a private X server with
# HOME and the XDG folders in a fresh work folder:
#   file_layout.sh portable PROGRAM CATALOGUE   a writable program folder keeps
#       everything beside the executable and nothing lands in the home;
#   file_layout.sh installed ROOT [LAUNCH]      ROOT/usr/bin/lumaro-radio (or
#       ROOT/bin/lumaro-radio) of an installed tree writes the lists and the
#       search copy to $XDG_DATA_HOME/lumaro-radio, settings.dat to
#       $XDG_CONFIG_HOME/lumaro-radio, the default recordings folder is the
#       music folder's, a catalogue the user updated in the data folder is read
#       before the installed one, and the installed tree is left as it was.
#       LAUNCH, when given, is the command that starts the program (the menu
#       entry's Exec line); a station argument is added to it for the second run.
set -euo pipefail
mode=$1
source "$(dirname "$0")/../support/desktop_session.sh"
unset DBUS_SESSION_BUS_ADDRESS

home=$work/home
mkdir -p "$home/.config"
export HOME=$home XDG_DATA_HOME=$work/xdg-data XDG_CONFIG_HOME=$work/xdg-config
mkdir -p "$XDG_CONFIG_HOME"
# the music folder as xdg-user-dirs names it
printf 'XDG_MUSIC_DIR="$HOME/Tunes"\n' >"$XDG_CONFIG_HOME/user-dirs.dirs"
data=$XDG_DATA_HOME/lumaro-radio
config=$XDG_CONFIG_HOME/lumaro-radio

# starts "$@" in the background, waits for its window and closes it with the
# window's own Close button (which writes settings.dat); exit code 0 expected
run_and_close() {
  local app win status=0
  "$@" &
  app=$!
  pids+=($app)
  win=$(main_window_of "$app") || fail "no window: $*"
  if [ -n "${wait_for_file:-}" ]; then
    wait_for test -s "$wait_for_file" || fail "$wait_for_file was not written"
  fi
  xdotool windowactivate --sync "$win" 2>/dev/null || true
  xdotool mousemove --window "$win" 913 19 && sleep 0.1 && xdotool click 1
  wait "$app" || status=$?
  [ "$status" = 0 ] || fail "the program ended with $status"
}
files_below() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }
expect_files() { # folder, expected files (sorted, one a line)
  local got
  got=$(files_below "$1")
  [ "$got" = "$2" ] || fail "in $1: expected
$2
found
$got"
}
setting() { sed -n "$1p" "$2" | tr -d '\r'; }

if [ "$mode" = portable ]; then
  program_dir=$work/program
  mkdir "$program_dir"
  cp "$2" "$3" "$program_dir/"
  run_and_close "$program_dir/lumaro-radio"
  [ -d "$program_dir/LumaroRadioRecordings" ] || fail "the recordings folder was not made beside the program"
  expect_files "$program_dir" "lumaro-radio
settings.dat
stations.dat
utf8stations.dat
utf8stations.stamp"
  [ "$(setting 14 "$program_dir/settings.dat")" = "$program_dir/LumaroRadioRecordings" ] ||
    fail "recordings folder in settings.dat: $(setting 14 "$program_dir/settings.dat")"
  [ ! -e "$XDG_DATA_HOME" ] && [ ! -e "$config" ] && [ -z "$(files_below "$home")" ] ||
    fail "a portable program wrote into the home"
  echo "PASS: the portable layout keeps every file beside the executable"
  exit 0
fi

root=$2
if [ -x "$root/usr/bin/lumaro-radio" ]; then bin=$root/usr/bin; else bin=$root/bin; fi
launch=${3:-$bin/lumaro-radio}
export PATH="$bin:$PATH"
before=$(cd "$root" && find . | sort)
cd "$work" # a current directory the program must not write into either
read -r -a launch_words <<<"$launch"

run_and_close "${launch_words[@]}"
expect_files "$data" "utf8stations.dat
utf8stations.stamp"
expect_files "$config" "settings.dat"
[ "$(setting 14 "$config/settings.dat")" = "$home/Tunes/LumaroRadioRecordings" ] ||
  fail "default recordings folder: $(setting 14 "$config/settings.dat")"
[ ! -e "$home/Tunes" ] || fail "the recordings folder was made before anything was recorded"
[ "$(stat -c %a "$data")" = 700 ] || fail "the data folder is not private: $(stat -c %a "$data")"

# an updated catalogue in the data folder, one loopback station (nothing
# listens there: the attempt fails at once); auto play on, so a start on
# station 0 enters it in Recent, which writes rec.dat
station=$'Updated Station\t-\tPop\tNowhere\t-\thttp://127.0.0.1:9/live'
printf '%s\n' "$station" >"$work/updated.tsv"
"$bin/lumaro-catalogue" build "$work/updated.tsv" "$data/stations.dat"
sed -i '9s/.*/1\r/' "$config/settings.dat"
wait_for_file=$data/rec.dat run_and_close "${launch_words[@]}" "s@0@100@100"
[ "$("$bin/lumaro-catalogue" dump "$data/rec.dat")" = "$station" ] ||
  fail "Recent does not hold the updated catalogue's station: $("$bin/lumaro-catalogue" dump "$data/rec.dat")"
expect_files "$data" "rec.dat
stations.dat
utf8stations.dat
utf8stations.stamp"
expect_files "$config" "settings.dat"

[ "$(cd "$root" && find . | sort)" = "$before" ] || fail "the installed tree changed"
[ -z "$(files_below "$work" | grep -v -e '^home/' -e '^xdg-' -e '^display$' -e '^updated.tsv$')" ] ||
  fail "files written into the current directory: $(files_below "$work")"
echo "PASS: the installed layout writes into the data and config folders"
