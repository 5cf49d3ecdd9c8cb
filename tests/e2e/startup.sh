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
    [ -n "$(visible_sizes)" ] && shown=1
    sleep 0.1
  done
  [ "$shown" = 0 ] || fail "/ot showed a window"
  stop_program "$pid" "$sig"
  rc=$?
  [ "$rc" = 0 ] || fail "exit code $rc after SIG$sig"
  check_settings "$home" "hidden start, SIG$sig"
  rm -rf "$home"
done

kill "$wm" 2>/dev/null
[ "$failures" = 0 ] && echo "e2e startup: all checks passed"
exit $((failures > 0))
