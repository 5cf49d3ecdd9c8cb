#!/usr/bin/env bash
# End-to-end: "Fix" through the window on a real ext4 file system. A small
# loop-mounted image with fragmented files (odd names among them) joins the
# machine's drives; the other drives are unticked by their check boxes, so
# only the image is analysed and then defragmented. Afterwards every file
# reads back unchanged, e2fsck finds nothing and the files have fewer
# fragments.
# usage: fix.sh EXECUTABLE SCREENSHOT_DIR
set -u
exe=$1
shots=$2

for tool in mkfs.ext4 e2fsck filefrag losetup sha256sum; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
. "$(dirname "$0")/lib.sh"

work=$(mktemp -d)
img=$work/fix.img
mnt=$work/mnt
mkdir "$mnt"
home=$work/home
mkdir "$home"
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  mountpoint -q "$mnt" && umount "$mnt"
  rm -rf "$work"
}
trap cleanup EXIT

truncate -s 64M "$img"
mkfs.ext4 -q -F -b 4096 -L e2efix "$img"
mount -o loop "$img" "$mnt" 2>/dev/null || { echo "SKIP: cannot loop-mount an image here"; exit 77; }
# Interleaved, synced appends: each file's blocks alternate with the others'.
names=("alpha.bin" "two words.dat" $'odd\x01\xffname' "deep/nested file")
mkdir "$mnt/deep"
for b in $(seq 24); do
  for n in "${names[@]}"; do
    head -c 4096 /dev/urandom | dd of="$mnt/$n" oflag=append conv=notrunc,fsync status=none
  done
done
extents() { local n total=0; for n in "${names[@]}"; do
  total=$((total + $(filefrag "$mnt/$n" | awk '{print $(NF-2)}'))); done; echo "$total"; }
sums() { (cd "$mnt" && for n in "${names[@]}"; do sha256sum < "$n"; done); }
before=$(extents)
sums_before=$(sums)
[ "$before" -gt "${#names[@]}" ] || fail "the image's files were not fragmented ($before extents)"

HOME=$home XDG_CONFIG_HOME= TMPDIR=$home "$exe" &
pid=$!
wait_until 15 main_only || { fail "the main window did not appear"; exit 1; }
win=$(window_of_width 750)
click() { xdotool mousemove --window "$win" "$1" "$2" click 1 mousemove --window "$win" 400 60; sleep 0.5; }
analysed() { tr -d '\r' < "$log" | sed -n 's/.* Opening volume .* at mountpoint //p' | awk '!seen[$0]++'; }

# A first analysis of every drive tells which row is the image's.
rm -f "$log"
click 556 430
wait_until 600 engine_done || { fail "the first analysis did not finish"; exit 1; }
mapfile -t drives < <(analysed)
row=-1
for i in "${!drives[@]}"; do [ "${drives[$i]}" = "$mnt" ] && row=$i; done
[ "$row" -ge 0 ] || { fail "the image is not among the drives (${drives[*]})"; exit 1; }
if [ "${#drives[@]}" -gt 4 ]; then
  echo "SKIP: ${#drives[@]} drives; unticking them would need the list scrolled"
  exit 77
fi
click 671 497 # Back to the summary
for i in "${!drives[@]}"; do [ "$i" != "$row" ] && click 48 $((172 + 61 * i)); done
import -window root "$shots/fix-ticked.png"

# Only the image is analysed now; only then is Fix pressed.
rm -f "$log"
click 556 430
wait_until 600 engine_done || { fail "the second analysis did not finish"; exit 1; }
mapfile -t drives < <(analysed)
if [ "${drives[*]}" != "$mnt" ]; then
  fail "unticked drives were analysed (${drives[*]}); not defragmenting"
  exit 1
fi
sleep 0.5
import -window root "$shots/fix-results.png"
rm -f "$log"
click 643 435
wait_until 600 engine_done || fail "the defragmentation did not finish"
mapfile -t drives < <(analysed)
[ "${drives[*]}" = "$mnt" ] || fail "the defragmentation touched other drives (${drives[*]})"
sleep 0.5
import -window root "$shots/fix-summary.png"
stop_program "$pid" TERM
rc=$?
pid=
[ "$rc" = 0 ] || fail "exit code $rc after SIGTERM"

after=$(extents)
[ "$after" -lt "$before" ] || fail "the files have $after extents, $before before"
[ "$(sums)" = "$sums_before" ] || fail "a file reads back changed"
umount "$mnt"
e2fsck -fn "$img" >/dev/null 2>&1 || fail "e2fsck found errors after the defragmentation"
echo "extents before $before, after $after"

kill "$tray" "$wm" 2>/dev/null
[ "$failures" = 0 ] && echo "e2e fix: all checks passed"
exit $((failures > 0))
