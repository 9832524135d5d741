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
# The environment gives WINEPREFIX; TORVANEL_WINE_LANGS="en ja" narrows the page pictures. Wine programs run through run_with.exe, because Wine replaces
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
mkdir "$work/nodll"; cp "$EXE" "$work/nodll/torvanel-setup.exe"; cp "$DLLS/SDL2_ttf.dll" "$work/nodll/"
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

# [SECTION] an unattended installation into profile folders with awkward names
# Fresh folders of their own, so nothing from the page runs above is counted.
profile="$work/Kraków Łukasz Ольга 山田 O’Brien 100% R&D ^x! ‘‚‛'"
mkdir -p "$profile/Local" "$profile/Roaming/Microsoft/Windows/Start Menu/Programs" "$profile/Desktop"
PROFILE_ENV=("LOCALAPPDATA=$(winpath "$profile/Local")" "USERPROFILE=$(winpath "$profile")"
             "APPDATA=$(winpath "$profile/Roaming")")
installed="$profile/Local/Programs/Torvanel"
rc=0
run_wine TORVANEL_STANDIN_RECORD="$(winpath "$work/powershell.txt")" ZR_LANG=en ZR_SETUP_PAGE=3 \
  ZR_SHOT="$(winpath "$work/shots/installed-wine.bmp")" ZR_FRAMES=40 -- "$app/torvanel-setup.exe" || rc=$?
[ "$rc" = 0 ] || fail "the unattended installation ended with exit code $rc"
for f in "${FILES[@]}"; do
  cmp -s "$app/$f" "$installed/$f" || fail "$f was not installed byte for byte in $installed"
done
# The Done page: the picture the Linux build draws when opened on it with the same folders.
run_linux "$app" ZR_LANG=en ZR_SETUP_PAGE=4 ZR_SHOT="$work/shots/done-linux.bmp" || fail "Linux: exit code $?"
n=$(differing shots/done-linux.bmp shots/installed-wine.bmp)
[ "$n" = 0 ] || fail "after installing, $n pixels differ from the Done page"
note "installed into $installed; pixels differing from the Done page: $n"

# [SECTION] the shortcut command lines, as the stand-in powershell.exe received them
# PowerShell's quoting: each of its five single quotes doubled inside a '...' string.
ps_quote() { sed "s/'/''/g; s/‘/‘‘/g; s/’/’’/g; s/‚/‚‚/g; s/‛/‛‛/g" <<<"$1"; }
shortcut_command() { # <link> <target> <folder>: the -Command argument that makes the shortcut
  printf "\$s=(New-Object -ComObject WScript.Shell).CreateShortcut('%s'); \$s.TargetPath='%s'; " \
    "$(ps_quote "$1")" "$(ps_quote "$2")"
  printf "\$s.WorkingDirectory='%s'; \$s.Description='Torvanel'; \$s.Save()" "$(ps_quote "$3")"
}
target="$(winpath "$profile/Local")/Programs/Torvanel/Torvanel.exe"
folder="$(winpath "$profile/Local")/Programs/Torvanel"
{
  for link in "$(winpath "$profile")/Desktop/Torvanel.lnk" \
              "$(winpath "$profile/Roaming")/Microsoft/Windows/Start Menu/Programs/Torvanel.lnk"; do
    echo "program $(winpath "$work/bin/powershell.exe")"
    echo "argc 8"
    printf 'arg %s\n' powershell -NoProfile -WindowStyle Hidden -ExecutionPolicy Bypass -Command
    echo "arg $(shortcut_command "$link" "$target" "$folder")"
    echo "cwd $(winpath "$work")"
    echo "console-window no"
    echo "end"
  done
} >powershell-expected.txt
# The raw command line is the program's business; its arguments as PowerShell reads them are ours.
grep -v '^line ' powershell.txt >powershell-got.txt 2>/dev/null || true
diff -u powershell-expected.txt powershell-got.txt >&2 ||
  fail "the stand-in powershell.exe received other commands than one per shortcut with exact paths"

# [SECTION] Finish, clicked on the Done page, starts the installed game in its folder
run_wine TORVANEL_STANDIN_RECORD="$(winpath "$work/game.txt")" ZR_LANG=en ZR_SETUP_PAGE=3 \
  -- "$app/torvanel-setup.exe" & pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Torvanel Setup$' | head -n 1) || true
[ -n "$window" ] || fail "the setup window never appeared under Wine"
# Finish sits where Next does; the primary button does nothing until the Done page is up.
for _ in 1 2 3 4 5 6 7 8 9 10; do
  [ -n "$window" ] && kill -0 "$pid" 2>/dev/null || break
  sleep 1; xdotool mousemove --window "$window" 862 559 click 1 2>/dev/null || true
done
rc=0; wait "$pid" || rc=$?
[ "$rc" = 0 ] || fail "the setup program ended with exit code $rc after Finish"
for _ in $(seq 50); do grep -qs '^end$' game.txt && break; sleep 0.2; done
{ echo "program $(winpath "$installed/Torvanel.exe")"; echo "cwd $(winpath "$installed")";
  echo "console-window no"; } >game-expected.txt
# The shortcut commands of this run are in the record too; the game's block is the one wanted.
awk '/^program .*Torvanel\.exe$/ { game = 1 } game && /^(program|cwd|console-window) /' game.txt \
  >game-got.txt 2>/dev/null || true
diff -u game-expected.txt game-got.txt >&2 || fail "Finish did not start the installed game in its folder"
xdotool mousemove 1 1

# [SECTION] Wine at 144 DPI: the drawable is larger than the window and the layout follows
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
rc=0; run_wine ZR_LANG=en ZR_SHOT="$(winpath "$work/shots/dpi.bmp")" ZR_FRAMES=5 -- "$app/torvanel-setup.exe" || rc=$?
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
[ "$rc" = 0 ] || fail "at 144 DPI the program ended with exit code $rc"
run_linux "$app" ZR_LANG=en ZR_SHOT="$work/shots/dpi-linux.bmp" ZR_FRAMES=5 || fail "Linux: exit code $?"
size=$(identify -format '%wx%h' shots/dpi.bmp 2>/dev/null || echo none)
[ "$size" = 1440x900 ] || fail "at 144 DPI the screenshot is $size, not 1440x900"
# Flat colours of the Linux English Welcome page (scale 1) found again at 1.5 times their place:
# the Next and Cancel faces and the sidebar's edge; the Next face is not at its place of scale 1.
for probe in "800 545 1200 818" "700 545 1050 818" "251 300 376 450"; do
  set -- $probe
  [ "$(pixel shots/dpi.bmp "$3" "$4")" = "$(pixel shots/dpi-linux.bmp "$1" "$2")" ] ||
    fail "at 144 DPI the pixel at $3,$4 is not the one at $1,$2 of scale 1"
done
[ "$(pixel shots/dpi.bmp 800 545)" != "$(pixel shots/dpi-linux.bmp 800 545)" ] ||
  fail "at 144 DPI the Next button is where it is at scale 1"
note "at 144 DPI: $size"

# [SECTION] failures before the window: no SDL2.dll, no OpenGL 3.3
# Wine reports a missing DLL on its module channel (Windows shows it in a message box) and ends
# the process with STATUS_DLL_NOT_FOUND (0xc0000135, of which the exit code keeps 0x35).
rc=0; WINEDEBUG=err+module timeout 60 "$WINE" "$work/nodll/torvanel-setup.exe" 2>nodll.err >/dev/null || rc=$?
grep -q 'err:module:import_dll Library SDL2.dll (which is needed by .*torvanel-setup.exe") not found' nodll.err ||
  fail "without SDL2.dll Wine did not report the missing DLL: $(tail -c 300 nodll.err)"
grep -q 'status c0000135' nodll.err || fail "without SDL2.dll the start did not fail with c0000135"
! grep -qiE 'unhandled exception|page fault' nodll.err || fail "without SDL2.dll the program crashed"
[ "$rc" = 53 ] || fail "without SDL2.dll the exit code is $rc, not 53 (0xc0000135)"
# Without OpenGL 3.3 the program says so in a message box titled Torvanel, dismissed here.
MESA_GL_VERSION_OVERRIDE=3.2 run_wine ZR_LANG=en -- "$app/torvanel-setup.exe" & pid=$!
box=$(timeout 30 xdotool search --sync --onlyvisible --name '^Torvanel$' | head -n 1) || true
[ -n "$box" ] || fail "without OpenGL 3.3 no message box titled Torvanel appeared"
[ -z "$box" ] || { sleep 0.5; xdotool key --window "$box" Return 2>/dev/null || true; }
rc=0; wait "$pid" || rc=$?
[ "$rc" = 1 ] || fail "without OpenGL 3.3 the exit code is $rc, not 1"

if [ "$failures" -gt 0 ]; then echo "wine-program: $failures failures" >&2; exit 1; fi
note "all passed"
