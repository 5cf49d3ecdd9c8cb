#!/usr/bin/env bash
# End-to-end: the real program on an X desktop (Xvfb + openbox).
# Normal start shows the splash, then the 750 x 550 main window; a hidden
# start (/ot) shows nothing; SIGTERM, SIGINT and SIGHUP end the program in
# order, writing the settings and the autostart entry.
# usage: startup.sh EXECUTABLE SCREENSHOT_DIR
set -u
exe=$1
shots=$2

. "$(dirname "$0")/lib.sh"

check_settings() { # HOME WHAT
  local hive="$1/.config/vantorel/HKEY_CURRENT_USER.reg" entry="$1/.config/autostart/Vantorel.desktop"
  [ -f "$hive" ] || { fail "$2: no settings file"; return; }
  local n
  n=$(grep -c '^"' "$hive")
  [ "$n" = 12 ] || fail "$2: settings file holds $n values, not 12"
  grep -qx "Exec=$exe /ot" "$entry" 2>/dev/null || fail "$2: autostart entry missing or wrong"
}

# Normal start.
home=$(mktemp -d)
HOME=$home XDG_CONFIG_HOME= "$exe" &
pid=$!
if wait_until 10 splash_up; then
  import -window root "$shots/startup-splash.png"
else
  fail "the splash did not appear"
fi
if wait_until 10 main_only; then
  sleep 0.3
  import -window root "$shots/startup-main.png"
  title=$(xdotool getwindowname "$(xdotool search --onlyvisible --class vantorel | head -1)")
  [ "$title" = Vantorel ] || fail "main window title is '$title'"
  # The settings page and back (window coordinates of the buttons).
  win=$(xdotool search --onlyvisible --class vantorel | while read -r w; do
    xwininfo -id "$w" | grep -q 'Width: 750' && echo "$w"; done | head -1)
  xdotool mousemove --window "$win" 61 535 click 1
  sleep 0.5
  import -window root "$shots/settings.png"
  xdotool mousemove --window "$win" 562 497 click 1
  # The about window over the dimmed main window; its close button ends it.
  xdotool mousemove --window "$win" 194 535 click 1
  if wait_until 5 bash -c 'xdotool search --onlyvisible --class vantorel | while read -r w; do xwininfo -id "$w"; done | grep -q "Width: 500"'; then
    sleep 0.5
    import -window root "$shots/about.png"
    about=$(xdotool search --onlyvisible --class vantorel | while read -r w; do
      xwininfo -id "$w" | grep -q 'Width: 500' && echo "$w"; done | head -1)
    xdotool mousemove --window "$about" 467 7 click 1
    wait_until 5 main_only || fail "the about window or the overlay stayed up"
  else
    fail "the about window did not appear"
  fi
else
  fail "the main window did not appear alone after the splash (saw: $(visible_sizes | tr '\n' ' '))"
fi
stop_program "$pid" TERM
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after SIGTERM"
check_settings "$home" "normal start"
rm -rf "$home"

# Hidden start, ended by SIGINT and by SIGHUP.
for sig in INT HUP; do
  home=$(mktemp -d)
  HOME=$home XDG_CONFIG_HOME= "$exe" /ot &
  pid=$!
  shown=0
  end=$(($(date +%s) + 3))
  while [ "$(date +%s)" -lt "$end" ]; do
    [ -n "$(big_windows)" ] && shown=1
    sleep 0.1
  done
  [ "$shown" = 0 ] || fail "/ot showed a window"
  stop_program "$pid" "$sig"
  rc=$?
  [ "$rc" = 0 ] || fail "exit code $rc after SIG$sig"
  check_settings "$home" "hidden start, SIG$sig"
  rm -rf "$home"
done

# Hidden start: the notification-area icon brings the window; the close
# button sends it back there.
home=$(mktemp -d)
HOME=$home XDG_CONFIG_HOME= "$exe" /ot &
pid=$!
if wait_until 10 tray_icon >/dev/null; then
  sleep 1.5 # the start-up sequence has run
  import -window root "$shots/tray-hidden.png"
  xdotool mousemove --window "$(tray_icon)" 10 10 click --repeat 2 --delay 80 1
  if wait_until 10 main_only; then
    sleep 0.3
    import -window root "$shots/tray-shown.png"
    win=$(xdotool search --onlyvisible --class vantorel | while read -r w; do
      xwininfo -id "$w" | grep -q 'Width: 750' && echo "$w"; done | head -1)
    xdotool mousemove --window "$win" 719 7 click 1
    wait_until 10 bash -c '[ -z "$(xdotool search --onlyvisible --class vantorel 2>/dev/null | while read -r w; do xwininfo -id "$w" | grep -q "Width: 750" && echo "$w"; done)" ]' ||
      fail "the close button did not hide the window to the notification area"
    tray_icon >/dev/null || fail "the icon left the notification area with the window"
  else
    fail "a double-click on the notification-area icon did not show the window"
  fi
else
  fail "no notification-area icon after a hidden start"
fi
stop_program "$pid" TERM
rm -rf "$home"

# A second start brings the first instance out of the notification area
# and ends at once; a show signal left behind is honoured at start.
home=$(mktemp -d)
mkdir -p "$home/tmp"
HOME=$home XDG_CONFIG_HOME= TMPDIR=$home/tmp "$exe" /ot &
pid=$!
if wait_until 10 tray_icon >/dev/null; then
  sleep 1.5
  started=$(date +%s)
  HOME=$home XDG_CONFIG_HOME= TMPDIR=$home/tmp timeout 10 "$exe"
  rc=$?
  [ "$rc" = 0 ] || fail "the second start ended with $rc"
  [ $(($(date +%s) - started)) -le 3 ] || fail "the second start did not end at once"
  wait_until 5 main_only || fail "the first instance did not come out of the notification area"
  [ -e "$home/tmp/vantorel-$(id -u)/showVantorel.dat" ] && fail "the show signal was not consumed"
else
  fail "no notification-area icon for the first instance"
fi
stop_program "$pid" TERM
# A minimised first instance is restored by the second start.
HOME=$home XDG_CONFIG_HOME= TMPDIR=$home/tmp "$exe" &
pid=$!
if wait_until 10 main_only; then
  win=$(xdotool search --onlyvisible --class vantorel | while read -r w; do
    xwininfo -id "$w" | grep -q 'Width: 750' && echo "$w"; done | head -1)
  xdotool windowminimize "$win"
  wait_until 5 bash -c '! xwininfo -id '"$win"' | grep -q IsViewable' || fail "the window did not minimise"
  HOME=$home XDG_CONFIG_HOME= TMPDIR=$home/tmp timeout 10 "$exe" || fail "the second start failed"
  wait_until 5 main_only || fail "the minimised first instance was not restored"
  import -window root "$shots/second-start-restored.png"
else
  fail "the main window did not appear"
fi
stop_program "$pid" TERM
: >"$home/tmp/vantorel-$(id -u)/showVantorel.dat"
HOME=$home XDG_CONFIG_HOME= TMPDIR=$home/tmp "$exe" /ot &
pid=$!
wait_until 10 main_only || fail "a hidden start with a show signal waiting stayed hidden"
stop_program "$pid" TERM
rm -rf "$home"

kill "$tray" "$wm" 2>/dev/null
[ "$failures" = 0 ] && echo "e2e startup: all checks passed"
exit $((failures > 0))
