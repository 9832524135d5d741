#!/usr/bin/env bash
# A whole installation clicked with the real mouse under Xvfb (xdotool), then the installed files, the started
# game and the exit code. Usage: click_through.sh <torvanel-setup> <sample_game_files>
set -euo pipefail
fail() { echo "$*" >&2; exit 1; }
if [ -z "${DISPLAY_FOR_CLICKS:-}" ]; then
  DISPLAY_FOR_CLICKS=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$(realpath "$1")" "$(realpath "$2")"
fi
work=$(mktemp -d /tmp/torvanel-click-XXXXXX)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir "$work/app"; cp "$1" "$work/app/torvanel-setup"; "$2" "$work/app" 8192; cd "$work"
env -u LOCALAPPDATA ZR_LANG=en ./app/torvanel-setup 2>stderr.txt & pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Torvanel Setup$' | head -n 1)
# Pause, then a point at scale 1 (app/wizard_layout.h: PRIMARY_AT_SCALE_1, LICENSE_CHECK_BOX_AT_SCALE_1): Next,
# "I allow these terms", Next, Install and, once all is done, Finish.
for step in "1 862 559" "1 512 442" "1 862 559" "1 862 559" "3 862 559"; do
  set -- $step; sleep "$1"; xdotool mousemove --window "$window" "$2" "$3" sleep 0.3 click 1
done
timeout 10 tail --pid="$pid" -f /dev/null || fail "the setup program did not end after Finish"
wait "$pid" || fail "the setup program ended with exit code $?"
for f in Torvanel.exe SDL2.dll SDL2_ttf.dll music1.mp3 music2.mp3 music3.mp3 README.txt LICENSE.txt; do
  cmp -s "app/$f" "Programs/Torvanel/$f" || fail "$f was not installed byte for byte"; done
grep -qF 'start "" "./Programs/Torvanel/Torvanel.exe"' stderr.txt || fail "game not started"
echo "clicked through a whole installation"
