#!/usr/bin/env bash
# The shell of the real program on a real X server with openbox and the trayer
# tray, driven as a user would through xdotool (XTEST): the window centred at
# the first show, the tray icon docked, its left click and menu, the global
# hot key, minimising to the task bar and into the tray, the "a" start, a drag
# of the background snapping to the work area's edge, About, "Open in new
# window" from the results' menu, and closing, which writes settings.dat and
# ends with exit code 0.
set -euo pipefail
program=$1
catalogue=$2

source "$(dirname "$0")/../support/desktop_session.sh"
mkdir "$work/home"
cp "$program" "$catalogue" "$work/"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
unset DBUS_SESSION_BUS_ADDRESS # the tray is trayer's XEmbed one

step() { echo "--- $*"; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
hidden() { ! viewable "$1"; }
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
# hidden by the program itself, not only iconified by the window manager
withdrawn() { hidden "$1" && ! xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state'; }
# visible windows of a process, other than the main window
popups_of() {
  local n=0
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    [ "$w" = "$2" ] || n=$((n + 1))
  done
  echo $n
}
position_is() { [ "$(position "$1")" = "$2" ]; }
click_at() { # window, x, y, button
  xdotool mousemove --window "$1" "$2" "$3" && sleep 0.1 && xdotool click "${4:-1}"
}
# the tray icon's window: a child of trayer's panel with our process id
tray_icon_of() {
  local panel
  for panel in $(xdotool search --class trayer 2>/dev/null); do
    for w in $(xwininfo -children -id "$panel" 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
      for c in "$w" $(xwininfo -children -id "$w" 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
        [ "$(xprop -id "$c" _NET_WM_PID 2>/dev/null | sed -n 's/.*= //p')" = "$1" ] && { echo "$c"; return 0; }
      done
    done
  done
  return 1
}
# the tray icon once trayer has laid it out: docked, and in the same place
# over half a second
settled_icon_of() {
  local icon before after
  for _ in $(seq 40); do
    icon=$(tray_icon_of "$1") || { sleep 0.25; continue; }
    before=$(xwininfo -id "$icon" 2>/dev/null | grep -E 'Absolute|Width|Height' | tr -d ' \n')
    sleep 0.5
    after=$(xwininfo -id "$icon" 2>/dev/null | grep -E 'Absolute|Width|Height' | tr -d ' \n')
    [ -n "$before" ] && [ "$before" = "$after" ] && { echo "$icon"; return 0; }
  done
  return 1
}
# a fresh tray for each program: trayer keeps the place of an icon whose
# program has gone, over where the next one docks
start_tray() {
  [ -n "${tray:-}" ] && { kill "$tray" 2>/dev/null || true; wait "$tray" 2>/dev/null || true; }
  trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 32 \
    --SetDockType true --SetPartialStrut true >/dev/null 2>&1 &
  tray=$!
  pids+=($tray)
}
start() {
  "$work/lumaro-radio" "$@" &
  app=$!
  pids+=($app)
}

step "start: centred in the work area, the tray icon docks when a tray appears"
start
win=$(main_window_of "$app") || fail "no main window"
wait_for viewable "$win" || fail "the main window is not shown"
read -r area_x area_y area_w area_h _ < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,/ /g')
centre="$((area_x + (area_w - 982) / 2)),$((area_y + (area_h - 480) / 2))"
wait_for position_is "$win" "$centre" || fail "window at $(position "$win"), expected the centre $centre"
# trayer starts after the program: the icon docks as soon as it is there
start_tray
icon=$(settled_icon_of "$app") || fail "the tray icon did not dock"
echo "tray icon $icon"

step "the global hot key hides the active window into the tray and shows it again"
xdotool windowactivate --sync "$win" 2>/dev/null || true
xdotool key ctrl+shift+F12
wait_for withdrawn "$win" || fail "Ctrl+Shift+F12 did not hide the active window"
xdotool key ctrl+shift+F12
wait_for viewable "$win" || fail "Ctrl+Shift+F12 did not show the window again"

step "the keys act on the volume; minimise goes to the task bar; the tray's left click brings it back"
click_at "$win" 690 300 # into the window, as a user would before typing
wait_for test "$(xdotool getactivewindow 2>/dev/null)" = "$((win))" || fail "a click did not activate the window"
xdotool key F12 F12 # volume 50 -> 56
click_at "$win" 839 19 # Minimize
wait_for iconic "$win" || fail "Minimize did not minimise to the task bar"
click_at "$icon" 8 8 1
wait_for viewable "$win" || fail "a left click on the tray icon did not show the window"

step "the tray icon's right click opens its menu"
before=$(popups_of "$app" "$win")
click_at "$icon" 8 8 3
wait_for test "$(popups_of "$app" "$win")" -gt "$before" || fail "no menu on a right click"
xdotool key Escape
wait_for test "$(popups_of "$app" "$win")" -eq "$before" || fail "the menu stayed open"

step "About opens over the window and closes on a key"
click_at "$win" 935 150 # the "About" caption
wait_for test "$(popups_of "$app" "$win")" -gt "$before" || fail "About did not open"
xdotool key q
wait_for test "$(popups_of "$app" "$win")" -eq "$before" || fail "About did not close on a key"

step "a drag of the background moves the window and snaps it to the work area's left edge"
xdotool windowactivate --sync "$win" 2>/dev/null || true
read -r wx wy < <(position "$win" | tr , ' ')
xdotool mousemove --window "$win" 690 300 mousedown 1
sleep 0.1
for step_x in 40 80 120; do xdotool mousemove_relative -- -"$step_x" 0; sleep 0.05; done
xdotool mousemove "$((690 + area_x + 6))" "$((wy + 300 + 20))"
sleep 0.2
xdotool mouseup 1
wait_for position_is "$win" "$area_x,$((wy + 20))" || fail "window at $(position "$win") after the drag, expected $area_x,$((wy + 20))"

step "Open in new window from the catalogue's menu: a second process beside this window"
read -r wx wy < <(position "$win" | tr , ' ')
click_at "$win" 780 214 3 # the first results row
sleep 0.3
xdotool key Down Down Down Return
copy=$(wait_for pgrep -f "$work/lumaro-radio s@" >/dev/null && pgrep -f "$work/lumaro-radio s@") ||
  fail "no second copy was started"
grep -q "s@0@$wx@$wy" "/proc/$copy/cmdline" 2>/dev/null || tr '\0' ' ' <"/proc/$copy/cmdline"
copy_win=$(main_window_of "$copy") || fail "the second copy shows no window"
xdotool windowactivate --sync "$copy_win" 2>/dev/null || true
wait_for position_is "$copy_win" "$((wx + 30)),$((wy + 30))" ||
  fail "the copy at $(position "$copy_win"), expected $((wx + 30)),$((wy + 30))"
kill "$copy"

step "Close writes settings.dat and ends with exit code 0"
click_at "$win" 913 19 # Close
status=0
wait "$app" || status=$?
[ "$status" = 0 ] || fail "the program ended with $status"
[ "$(wc -l <"$work/settings.dat")" = 15 ] || fail "settings.dat does not hold fifteen lines"
[ "$(head -n1 "$work/settings.dat")" = $'56\r' ] || fail "the volume was not saved: $(head -n1 "$work/settings.dat" | od -c)"
[ "$(sed -n 12p "$work/settings.dat")" = "$area_x"$'\r' ] || fail "the window's left edge was not saved"

step "restarted with minimise-to-tray on and hotkey.dat: its key toggles, Minimize leaves only the tray icon"
sed -i '7s/.*/1\r/' "$work/settings.dat"
printf 'Shift+Ctrl+K\r\n' >"$work/hotkey.dat"
start_tray
start
win=$(main_window_of "$app") || fail "no main window after the restart"
wait_for viewable "$win" || fail "the main window is not shown after the restart"
click_at "$win" 690 300
wait_for test "$(xdotool getactivewindow 2>/dev/null)" = "$((win))" || fail "a click did not activate the window"
xdotool key ctrl+shift+k
wait_for withdrawn "$win" || fail "the hot key of hotkey.dat did not hide the window"
xdotool key ctrl+shift+F12
xdotool key ctrl+shift+k
wait_for viewable "$win" || fail "the hot key of hotkey.dat did not show the window"
[ "$(head -n1 "$work/settings.dat")" = $'56\r' ]
click_at "$win" 839 19
wait_for withdrawn "$win" || fail "Minimize with the option on did not hide the window"
icon=$(settled_icon_of "$app") || fail "no tray icon"
click_at "$icon" 8 8 1
wait_for viewable "$win" || fail "the tray icon did not bring the window back"
kill "$app"; wait "$app" 2>/dev/null || true

step "the \"a\" argument starts with only the tray icon"
start_tray
start a
icon=$(settled_icon_of "$app") || fail "no tray icon with the a argument"
for w in $(xdotool search --pid "$app" 2>/dev/null); do
  if xwininfo -id "$w" | grep -q 'Width: 982'; then hidden "$w" || fail "the window is shown with the a argument"; fi
done
click_at "$icon" 8 8 1
win=$(main_window_of "$app") || fail "no main window after the tray click"
wait_for viewable "$win" || fail "the tray click did not show the window"
kill "$app"; wait "$app" 2>/dev/null || true
echo "PASS"
