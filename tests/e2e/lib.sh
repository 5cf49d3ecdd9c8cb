# Shared by the end-to-end scripts: skips without root or the X tools,
# re-runs the script under Xvfb, starts openbox and waits until it manages
# the screen, and offers the helpers below. Expects exe and shots.
if [ "$(id -u)" != 0 ]; then
  echo "SKIP: needs root: the program refuses to run without administrator rights"
  exit 77
fi
for tool in xvfb-run xdotool xwininfo xprop import openbox trayer; do
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
# A notification area for the program's icon.
traylog=$(mktemp)
for attempt in 1 2 3; do
  trayer --edge top --align right --widthtype request --height 24 >"$traylog" 2>&1 &
  tray=$!
  wait_until 10 xdotool search --onlyvisible --class trayer >/dev/null && break
  kill "$tray" 2>/dev/null
  [ "$attempt" = 3 ] && { echo "FAIL: trayer did not start:"; cat "$traylog"; exit 1; }
done
rm -f "$traylog"
# The program's windows, without its notification-area icon.
big_windows() { visible_sizes | awk -Fx '$1 > 100 && $2 > 100'; }
# The notification-area icon's window id, when it is there.
tray_icon() {
  local w
  for w in $(xdotool search --onlyvisible --class vantorel 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | awk '/Width:/{w=$2} END{exit !(w < 100)}' && { echo "$w"; return 0; }
  done
  return 1
}
splash_up() { visible_sizes | grep -qx 315x170; }
main_only() { visible_sizes | grep -qx 750x550 && ! visible_sizes | grep -qx 315x170; }
stop_program() { # PID SIGNAL
  kill -"$2" "$1"
  local i
  for i in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  wait "$1"
}
# The program's log, beside the executable.
log="$(dirname "$exe")/debug.log"
# The engine has said its last word on every drive and the log has been
# quiet for two seconds.
engine_done() {
  [ "$(tail -n 1 "$log" 2>/dev/null | tr -d '\r' | cut -d' ' -f2-)" = "Finished." ] || return 1
  [ $(($(date +%s) - $(stat -c %Y "$log"))) -ge 2 ]
}
# The program's visible window of that width.
window_of_width() {
  xdotool search --onlyvisible --class vantorel 2>/dev/null | while read -r w; do
    xwininfo -id "$w" | grep -q "Width: $1\$" && echo "$w"; done | head -1
}
