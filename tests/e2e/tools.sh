#!/usr/bin/env bash
# End-to-end: the companion tools page on an X desktop. A running tool's
# window is brought forward, moved off the main window's left edge and sent
# the show signal; a tool that is not installed is fetched, and without the
# maker's service the connection question comes up and Cancel ends it.
# usage: tools.sh EXECUTABLE FAKE_TOOL SCREENSHOT_DIR
set -u
exe=$1
fake_tool=$2
shots=$3

. "$(dirname "$0")/lib.sh"

# The absolute top-left corner of a window, as "X Y".
corner() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'; }

home=$(mktemp -d)
mkdir -m 700 "$home/tmp"
HOME=$home XDG_CONFIG_HOME= TMPDIR=$home/tmp "$exe" &
pid=$!
wait_until 15 main_only || { fail "the main window did not appear"; stop_program "$pid" TERM; exit 1; }
win=$(window_of_width 750)
# The Free Scans tab of the page header lights up under the pointer, then opens.
xdotool mousemove --window "$win" 230 83 sleep 0.2 click 1
sleep 0.5
import -window root "$shots/tools.png"

# A running tool at the main window's left edge.
read -r mx my < <(corner "$win")
"$fake_tool" Helvorin "$mx" 420 &
tool=$!
tool_window() { xdotool search --onlyvisible --name '^Helvorin$' 2>/dev/null | head -1; }
tool_up() { [ -n "$(tool_window)" ]; }
wait_until 10 tool_up || fail "the stand-in tool did not appear"
tw=$(tool_window)
read -r tx ty < <(corner "$tw")
xdotool mousemove --window "$win" 594 237 click 1
moved() { [ "$(corner "$tw")" = "$((tx + 50)) $((ty - 50))" ]; }
if wait_until 5 moved; then
  sleep 0.3
  import -window root "$shots/tools-running.png"
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$tw" ] || fail "the tool's window is not the active one"
else
  fail "the tool's window was not moved off the main window's edge (at $(corner "$tw"), was at $tx $ty)"
fi
[ -e "$home/tmp/vantorel-$(id -u)/showHelvorin.dat" ] || fail "no show signal for the tool"
kill "$tool"
wait "$tool" 2>/dev/null

# Not installed: without the maker's service the user is asked to connect.
xdotool mousemove --window "$win" 594 237 click 1
question_up() { [ -n "$(window_of_width 500)" ]; }
if wait_until 30 question_up; then
  sleep 0.5
  import -window root "$shots/tools-connection.png"
  xdotool mousemove --window "$(window_of_width 500)" 431 190 click 1
  wait_until 5 eval '! question_up' || fail "the connection question stayed up after Cancel"
  sleep 0.3
  import -window root "$shots/tools-idle.png"
else
  fail "the connection question did not come up"
fi

stop_program "$pid" TERM
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after SIGTERM"
rm -rf "$home"
kill "$tray" "$wm" 2>/dev/null
[ "$failures" = 0 ] && echo "e2e tools: all checks passed"
exit $((failures > 0))
