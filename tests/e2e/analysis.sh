#!/usr/bin/env bash
# End-to-end: an analysis of the machine's drives through the real engine.
# /as opens the analysis page and the results follow when the engine is
# done; the results stamp the settings. Ending the program in the middle of
# an analysis stops the engine and exits promptly, settings written.
# usage: analysis.sh EXECUTABLE SCREENSHOT_DIR
set -u
exe=$1
shots=$2

. "$(dirname "$0")/lib.sh"

hive_of() { echo "$1/.config/vantorel/HKEY_CURRENT_USER.reg"; }

# Ended while the engine works: a prompt, orderly exit.
home=$(mktemp -d)
HOME=$home XDG_CONFIG_HOME= "$exe" /as &
pid=$!
wait_until 10 main_only || fail "the main window did not appear"
sleep 2
started=$(date +%s)
stop_program "$pid" TERM
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after SIGTERM during the analysis"
[ $(($(date +%s) - started)) -le 5 ] || fail "the program took more than 5 s to stop the engine"
grep -q '^"ErrFound"=dword:' "$(hive_of "$home")" 2>/dev/null || fail "no settings written after a stopped analysis"
grep -qx '"LastScanDate"=""' "$(hive_of "$home")" 2>/dev/null || fail "a stopped analysis stamped LastScanDate"
rm -rf "$home"

# A whole analysis: progress, then the results.
home=$(mktemp -d)
rm -f "$log"
HOME=$home XDG_CONFIG_HOME= "$exe" /as &
pid=$!
wait_until 10 main_only || fail "the main window did not appear"
sleep 2
import -window root "$shots/analysis-progress.png"
if wait_until 600 engine_done; then
  sleep 0.5
  import -window root "$shots/analysis-results.png"
  # Back to the summary, then untick the first drive (window coordinates).
  win=$(xdotool search --onlyvisible --class vantorel | head -1)
  xdotool mousemove --window "$win" 671 497 click 1
  sleep 0.5
  xdotool mousemove --window "$win" 47 173 click 1 mousemove --window "$win" 400 300
  sleep 0.5
  import -window root "$shots/analysis-summary.png"
else
  fail "the analysis did not finish within 10 minutes"
fi
stop_program "$pid" TERM
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after SIGTERM"
grep -q '^"LastScanDate"="..*"$' "$(hive_of "$home")" 2>/dev/null || fail "the results did not stamp LastScanDate"
grep -q 'Analyze' "$log" || fail "debug.log names no analysis phase"
rm -rf "$home"

kill "$tray" "$wm" 2>/dev/null
[ "$failures" = 0 ] && echo "e2e analysis: all checks passed"
exit $((failures > 0))
