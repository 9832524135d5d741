#!/usr/bin/env bash
# The Windows torvanel-setup.exe end to end under Wine on Xvfb, beside the real SDL2.dll and
# SDL2_ttf.dll and a stand-in game:
#   - pages 0 to 5 in English, Arabic, Hindi and Japanese, each screenshot compared with the Linux
#     build's screenshot of the same page and language;
#   - an unattended installation into profile folders named with Polish, Cyrillic and CJK letters
#     and ’ % & ^ !, the shortcut command lines received by a stand-in powershell.exe;
#   - Finish clicked on the Done page starts the installed stand-in game in its folder;
#   - Wine at 144 DPI: a 1440 x 900 drawable with the layout scaled;
#   - no SDL2.dll beside the exe, and no OpenGL 3.3.
# Usage (scripts/test_wine_program prepares the arguments and the Wine prefix):
#   program_test.sh <torvanel-setup.exe> <Windows DLL folder> <stand-in folder> <Linux torvanel-setup>
# The environment gives WINEPREFIX. Wine programs run through run_with.exe, because Wine replaces
# the profile variables of the Unix environment with its own.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
note() { echo "wine-program: $*"; }
if [ -z "${TORVANEL_WINE_DISPLAY:-}" ]; then
  TORVANEL_WINE_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1920x1200x24" \
    bash "$0" "$(realpath "$1")" "$(realpath "$2")" "$(realpath "$3")" "$(realpath "$4")"
fi
EXE=$1 DLLS=$2 STANDINS=$3 LINUX_PROGRAM=$4
WINE=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
failures=0

# [SECTION] the work folder
work=$(mktemp -d /tmp/torvanel-wine-XXXXXX)
# TORVANEL_WINE_KEEP=1 keeps the folder with every screenshot for a look.
cleanup() {
  "${WINE%64}server" -k 2>/dev/null || true
  if [ -n "${TORVANEL_WINE_KEEP:-}" ]; then note "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }  # the Unix root is Wine's drive Z:
FILES=(Torvanel.exe SDL2.dll SDL2_ttf.dll music1.mp3 music2.mp3 music3.mp3 README.txt LICENSE.txt)
app="$work/app"
mkdir -p "$app" "$work/bin" "$work/shots"
cp "$EXE" "$app/torvanel-setup.exe"; cp "$LINUX_PROGRAM" "$app/torvanel-setup"
cp "$DLLS/SDL2.dll" "$DLLS/SDL2_ttf.dll" "$STANDINS/Torvanel.exe" "$app/"
# Music of 4 MiB and a bit each: the copy takes six frames, so frame 3 shows the Install page midway.
for i in 1 2 3; do head -c $((4194304 + i * 1000)) /dev/zero | tr '\0' "$i" >"$app/music$i.mp3"; done
printf 'Torvanel\r\n' >"$app/README.txt"; printf 'License\r\n' >"$app/LICENSE.txt"
mkdir "$work/broken"; cp -l "$app"/* "$work/broken/"; rm "$work/broken/README.txt"
mkdir "$work/nodll"; cp "$EXE" "$DLLS/SDL2_ttf.dll" "$work/nodll/"
cp "$STANDINS/powershell.exe" "$work/bin/"
# Profile folders with every quote PowerShell knows and the command interpreter's specials.
profile="$work/Łódź Юзер 張 ’‘‚‛' %PATH% &^!"
mkdir -p "$profile/Local" "$profile/Roaming" "$profile/Desktop"
PROFILE_ENV=("LOCALAPPDATA=$(winpath "$profile/Local")" "USERPROFILE=$(winpath "$profile")"
             "APPDATA=$(winpath "$profile/Roaming")")
cd "$work"
# Xvfb starts with the pointer in the middle of the screen, over the centred window, where it
# would light up a widget only in Wine's pictures. Moves are lost until a first client has come.
"$WINE" cmd /c exit 0 >/dev/null 2>&1 || true
for _ in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove 1 1
  [ "$(xdotool getmouselocation --shell | head -n 2 | tr -d '\n')" = "X=1Y=1" ] && break
  sleep 0.5
done

# run_wine <vars...> -- <exe>: the exe under Wine with the vars and the profile folders set,
# its standard error in wine.err; prints nothing, returns the exit code (124 after a minute).
run_wine() {
  local vars=()
  while [ "$1" != "--" ]; do vars+=("$1"); shift; done
  timeout 60 env "${vars[@]}" WINEPATH="$(winpath "$work/bin")" \
    "$WINE" "$STANDINS/run_with.exe" "${PROFILE_ENV[@]}" -- "$(winpath "$2")" 2>wine.err
}
# run_linux <folder> <vars...>: the Linux program in <folder> with the same profile strings, from
# a folder of its own (there the Windows-style install folder is a relative path).
run_linux() {
  local folder=$1; shift
  mkdir -p "$work/linux"
  (cd "$work/linux" && timeout 60 env -i PATH=/usr/bin:/bin SDL_VIDEODRIVER=offscreen "${PROFILE_ENV[@]}" "$@" \
    "$folder/torvanel-setup" 2>"$work/linux.err")
}
# differing <a.bmp> <b.bmp>: the number of pixels that differ.
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
# pixel <bmp> <x> <y>: the pixel's colour as r,g,b in 0..255.
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }

# [SECTION] every page in four languages, Wine against Linux
# The page's variables and the folder started from: page 3 is shot on its third frame, while the
# files are still being copied; the failure page comes from a folder without README.txt.
page_vars() {
  case $1 in
    3) echo "ZR_SETUP_PAGE=3 ZR_FRAMES=3" ;;
    5) echo "ZR_FRAMES=30" ;;
    *) echo "ZR_SETUP_PAGE=$1 ZR_FRAMES=30" ;;
  esac
}
# The same texts, the same fonts and the same profile strings give the same pixels: measured here,
# every pair is identical, the path lines of the Location and Done pages included.
MAX_DIFFERING=0
for lang in ${TORVANEL_WINE_LANGS:-en ar hi ja}; do
  line="$lang:"
  for page in 0 1 2 3 4 5; do
    folder=$app; [ "$page" = 5 ] && folder=$work/broken
    read -r -a vars <<<"$(page_vars "$page")"
    shot="shots/$lang-$page"
    rc=0; run_linux "$folder" ZR_LANG="$lang" ZR_SHOT="$work/$shot-linux.bmp" "${vars[@]}" || rc=$?
    [ "$rc" = 0 ] || fail "Linux $lang page $page ended with exit code $rc"
    rc=0; run_wine ZR_LANG="$lang" ZR_SHOT="$(winpath "$work/$shot-wine.bmp")" "${vars[@]}" -- "$folder/torvanel-setup.exe" || rc=$?
    [ "$rc" = 0 ] || fail "Wine $lang page $page ended with exit code $rc: $(tail -c 300 wine.err)"
    if [ -f "$shot-linux.bmp" ] && [ -f "$shot-wine.bmp" ]; then
      n=$(differing "$shot-linux.bmp" "$shot-wine.bmp")
      line="$line page $page $n,"
      [ "$n" -le "$MAX_DIFFERING" ] 2>/dev/null || fail "$lang page $page: $n pixels differ between Linux and Wine"
    else
      fail "$lang page $page: no screenshot"
    fi
  done
  note "differing pixels, ${line%,}"
done
