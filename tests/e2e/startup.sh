#!/usr/bin/env bash
# End-to-end: the real program on an X desktop (Xvfb + openbox).
# Normal start shows the splash, then the 750 x 550 main window; a hidden
# start (/ot) shows nothing; SIGTERM, SIGINT and SIGHUP end the program in
# order, writing the settings and the autostart entry.
# usage: startup.sh EXECUTABLE SCREENSHOT_DIR
set -u
exe=$1
shots=$2

if [ "$(id -u)" != 0 ]; then
  echo "SKIP: needs root: the program refuses to run without administrator rights"
  exit 77
fi
for tool in xvfb-run xdotool xwininfo xprop import openbox; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ -z "${VANTOREL_E2E_DISPLAY:-}" ]; then
  export VANTOREL_E2E_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

mkdir -p "$shots"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Sizes (WxH) of the program's visible top-level windows, one per line.
visible_sizes() {
  local w
  for w in $(xdotool search --onlyvisible --class vantorel 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'
  done
}
# wait_until SECONDS COMMAND...: true once the command succeeds.
wait_until() {
  local limit=$(($(date +%s%N) + $1 * 1000000000)); shift
  while [ "$(date +%s%N)" -lt "$limit" ]; do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# Windows mapped while the window manager is still taking over the screen
# can be left unmapped, so the program starts only once it is in charge.
wmlog=$(mktemp)
for attempt in 1 2 3; do
  openbox >"$wmlog" 2>&1 &
  wm=$!
  wait_until 10 wm_ready && break
  kill "$wm" 2>/dev/null
  [ "$attempt" = 3 ] && { echo "FAIL: openbox did not start:"; cat "$wmlog"; exit 1; }
done
rm -f "$wmlog"
splash_up() { visible_sizes | grep -qx 315x170; }
main_only() { visible_sizes | grep -qx 750x550 && ! visible_sizes | grep -qx 315x170; }
stop_program() { # PID SIGNAL
  kill -"$2" "$1"
  local i
  for i in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  wait "$1"
}
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
