# What the Wine program tests share, sourced by program_test.sh and players_test.sh with their arguments:
#   <torvanel-setup.exe> <Windows DLL folder> <stand-in folder> <Linux torvanel-setup>
# Starts Xvfb (by running the sourcing script again under it), makes a work folder with the program beside the real
# SDL2 DLLs, the stand-in game and generated game files, and a profile folder with Polish, Cyrillic and CJK letters,
# PowerShell's quotes and % & ^ !, which the Wine prefix's user folders point at. The stand-in powershell.exe is put
# where Windows keeps PowerShell; everything it changes in the prefix is put back when the script ends.
# TORVANEL_WINE_KEEP=1 keeps the work folder.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
note() { echo "wine-program: $*"; }
if [ -z "${TORVANEL_WINE_DISPLAY:-}" ]; then
  TORVANEL_WINE_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
    bash "$0" "$(realpath "$1")" "$(realpath "$2")" "$(realpath "$3")" "$(realpath "$4")"
fi
EXE=$1 DLLS=$2 STANDINS=$3 WINE=/usr/lib/wine/wine64 failures=0
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
SYSTEM_POWERSHELL=$WINEPREFIX/drive_c/windows/system32/WindowsPowerShell/v1.0/powershell.exe
FONTS=$WINEPREFIX/drive_c/windows/Fonts
work=$(mktemp -d /tmp/torvanel-wine-XXXXXX)
restore_prefix() {
  "${WINE%64}server" -k 2>/dev/null || true
  "${WINE%64}server" -w 2>/dev/null || true
  for value in Desktop Programs 'Local AppData'; do
    "$WINE" reg delete "$SHELL_FOLDERS" /v "$value" /f >/dev/null 2>&1 || true
  done
  [ ! -f "$SYSTEM_POWERSHELL.wine" ] || mv -f "$SYSTEM_POWERSHELL.wine" "$SYSTEM_POWERSHELL"
  rm -f "$FONTS/Nirmala.ttf" "$FONTS/NirmalaB.ttf" "$WINEPREFIX/dosdevices/d:"
}
trap 'restore_prefix; [ -z "${TORVANEL_WINE_KEEP:-}" ] && rm -rf "$work" || note "kept $work"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }  # the Unix root is Wine's drive Z:
app=$work/app profile="$work/Łódź Ольга 山田 O’Brien ‘‚‛' %PATH% 100% R&D ^x!"
mkdir -p "$app" "$work/bin" "$work/shots" "$work/linux" "$work/broken" "$work/nodll" "$profile/Local" \
  "$profile/Desktop" "$profile/Roaming/Microsoft/Windows/Start Menu/Programs"
cp "$EXE" "$app/torvanel-setup.exe"; cp "$4" "$app/torvanel-setup"
cp "$DLLS/SDL2.dll" "$DLLS/SDL2_ttf.dll" "$STANDINS/Torvanel.exe" "$app/"
# Music of 4 MiB and a bit each: the copy takes six frames, so frame 3 shows the Install page midway.
for i in 1 2 3; do head -c $((4194304 + i * 1000)) /dev/zero | tr '\0' "$i" >"$app/music$i.mp3"; done
printf 'Torvanel\r\n' >"$app/README.txt"; printf 'License\r\n' >"$app/LICENSE.txt"
GAME_FILES=(Torvanel.exe SDL2.dll SDL2_ttf.dll music1.mp3 music2.mp3 music3.mp3 README.txt LICENSE.txt)
cp -a "$app" "$work/originals"  # what the game files must still hold after every run
P=$(winpath "$profile"); PROFILE_ENV=("LOCALAPPDATA=$P\\Local" "USERPROFILE=$P" "APPDATA=$P\\Roaming")
installed="$profile/Local/Programs/Torvanel"
cd "$work"
xdotool mousemove 1 1  # off the centred window, where it would light a widget in Wine's pictures only

# [SECTION] the prefix as a player's PC has it
# user_folder <value> <Windows path>: the user's folder as Explorer keeps it (what the known folders follow).
user_folder() { "$WINE" reg add "$SHELL_FOLDERS" /v "$1" /t REG_EXPAND_SZ /d "$2" /f >/dev/null 2>&1; }
# The profile's folders are the player's folders, as the environment above also says.
user_folder 'Local AppData' "$P\\Local"
user_folder Desktop "$P\\Desktop"
user_folder Programs "$P\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"
# PowerShell where Windows keeps it: the stand-in, which records each start. Copies of it lie where a planted one
# could: on PATH, in the current folder and beside setup; none of those may ever run.
[ -f "$SYSTEM_POWERSHELL.wine" ] || mv "$SYSTEM_POWERSHELL" "$SYSTEM_POWERSHELL.wine"
cp "$STANDINS/powershell.exe" "$SYSTEM_POWERSHELL"
for planted in "$work/bin" "$work" "$app"; do cp "$STANDINS/powershell.exe" "$planted/"; done
SYSTEM_POWERSHELL_WIN='C:\windows\system32\WindowsPowerShell\v1.0\powershell.exe'

# [SECTION] running the program
# run_wine|run_linux <folder> <vars...>: the program in <folder> with the vars and profile strings, standard error in
# wine.err|linux.err; returns the exit code (124 after TIMEOUT seconds, a minute unless set). Wine's through
# run_with.exe, which sets the profile variables Wine would take from its own; a <folder> given as a Windows path
# (D:\...) is used as it is. Linux's in a folder where the Windows-style install folder is relative.
run_wine() {
  local folder=$1 exe; shift
  if [[ "$folder" =~ ^[A-Za-z]: ]]; then exe="$folder\\torvanel-setup.exe"; else exe=$(winpath "$folder/torvanel-setup.exe"); fi
  timeout "${TIMEOUT:-60}" env "$@" WINEPATH="$(winpath "$work/bin")" "$WINE" "$STANDINS/run_with.exe" \
    "${PROFILE_ENV[@]}" -- "$exe" 2>"$work/wine.err"
}
run_linux() {
  local folder=$1; shift
  (cd "$work/linux" && timeout 60 env -i PATH=/usr/bin:/bin SDL_VIDEODRIVER=offscreen "${PROFILE_ENV[@]}" "$@" \
    "$folder/torvanel-setup" 2>"$work/linux.err")
}
# shot <wine|linux> <name> <folder> <vars...>: a run that must end well, its screenshot in shots/<name>-<system>.bmp.
shot() {
  local system=$1 name=$2 folder=$3 rc=0 path="$work/shots/$2-$1.bmp"; shift 3
  [ "$system" = linux ] || path=$(winpath "$path")
  "run_$system" "$folder" ZR_SHOT="$path" "$@" || rc=$?
  [ "$rc" = 0 ] || fail "$system $name ended with exit code $rc: $(tail -c 300 "$system.err")"
}
# same <name>: the Linux and the Wine screenshots are equal pixel for pixel.
same() {
  local n; n=$(compare -metric AE "shots/$1-linux.bmp" "shots/$1-wine.bmp" null: 2>&1 || true)
  [ "$n" = 0 ] || fail "$1: $n pixels differ between Linux and Wine"
}
# poke <title> <code> <tries> <xdotool command...>: the window titled <title> of the program just started in the
# background gets the command once a second until the program ends, with exit code <code>.
poke() {
  local pid=$! window rc=0 tries=$3
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || true
  [ -n "$window" ] || fail "no window titled $1 appeared"
  for ((i = 0; i < tries; ++i)); do [ -n "$window" ] && kill -0 "$pid" 2>/dev/null || break
    sleep 1; xdotool "$4" --window "$window" "${@:5}" 2>/dev/null || true; done
  wait "$pid" || rc=$?; [ "$rc" = "$2" ] || fail "$1 ended with exit code $rc, not $2"
}

# [SECTION] checking what happened
# q <text>: the text with each of PowerShell's five single quotes doubled, as it stands in a shortcut command.
q() { sed "s/'/''/g; s/‘/‘‘/g; s/’/’’/g; s/‚/‚‚/g; s/‛/‛‛/g" <<<"$1"; }
# has_colour <bmp> <width>x<height>+<x>+<y> <#rrggbb>: some pixel of that area of the picture has the colour.
has_colour() {
  [ "$(convert "$1" -crop "$2" +repage -fuzz 2% -transparent "$3" -format '%[opaque]' info: 2>&1 | tr A-Z a-z)" = false ]
}
# heading_is <name> <done|failed>: the picture shots/<name>-wine.bmp is the Done page (a heading in the accent colour)
# or the failure page (a heading in the error colour).
heading_is() {
  local colour='#F2C75C'  # the accent, 0.95 0.78 0.36
  [ "$2" = done ] || colour='#F27366'  # the error red, 0.95 0.45 0.40
  has_colour "shots/$1-wine.bmp" 300x34+302+52 "$colour" || fail "$1: not the $2 page (no heading in $colour)"
}
# game_files_unchanged <what>: the eight game files beside setup are byte for byte what they were.
game_files_unchanged() {
  for f in "${GAME_FILES[@]}"; do cmp -s "$work/originals/$f" "$app/$f" || fail "$1: the game's $f changed"; done
}
# installed_whole <what> <folder>: the eight game files lie in <folder> byte for byte, and no temporary copy.
installed_whole() {
  for f in "${GAME_FILES[@]}"; do
    [ -f "$2/$f" ] && [ ! -L "$2/$f" ] && cmp -s "$app/$f" "$2/$f" || fail "$1: $f was not installed byte for byte"
  done
  ! ls -A "$2" | grep -q '\.partial$' || fail "$1: a temporary copy was left in $2"
}
