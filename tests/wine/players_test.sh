#!/usr/bin/env bash
# The Windows torvanel-setup.exe under Wine as players' PCs differ from a clean one: the game folder reached through
# a second drive letter; a Unix link planted in the install folder; an old game file held open by another program;
# a Desktop moved to OneDrive and a Start menu moved away; Nirmala UI under its .ttf names; an install folder of
# about 300 characters; a PowerShell that hangs. After each case the game files are untouched and the run ends on
# the page it must. Run by scripts/test_wine_program, like program_test.sh (see tests/wine/lib.sh):
#   players_test.sh <torvanel-setup.exe> <Windows DLL folder> <stand-in folder> <Linux torvanel-setup>
source "$(dirname "$0")/lib.sh"
WAIT_LIMIT=20  # seconds setup waits for one PowerShell (COMMAND_WAIT_LIMIT_MS)
# install <name> <folder> <vars...>: an unattended installation run by Wine, its last picture in shots/<name>-wine.bmp.
install() { local name=$1 folder=$2; shift 2; shot wine "$name" "$folder" ZR_LANG=en ZR_SETUP_PAGE=3 ZR_FRAMES=40 "$@"; }

# [SECTION] the game folder reached through a second drive letter (subst, a mapped drive), in both directions: the
# install folder is the game folder itself, so every file is already in place and none is emptied.
same="$work/same/Programs/Torvanel"
mkdir -p "$same"; cp -a "$app"/. "$same/"
ln -sfn "$work" "$WINEPREFIX/dosdevices/d:"
user_folder 'Local AppData' 'D:\same'
PROFILE_ENV[0]='LOCALAPPDATA=D:\same'
install drive-d "$same"
heading_is drive-d done
user_folder 'Local AppData' "$(winpath "$work/same")"
PROFILE_ENV[0]="LOCALAPPDATA=$(winpath "$work/same")"
install drive-z 'D:\same\Programs\Torvanel'
heading_is drive-z done
for f in "${GAME_FILES[@]}"; do cmp -s "$work/originals/$f" "$same/$f" || fail "second drive letter: $f changed"; done
rm -f "$WINEPREFIX/dosdevices/d:"
user_folder 'Local AppData' "$P\\Local"
PROFILE_ENV[0]="LOCALAPPDATA=$P\\Local"

# [SECTION] a Unix link planted in the install folder as music1.mp3: the link is replaced, what it points to is not
# written (Wine deletes a link's target when asked to delete the link).
rm -rf "${installed%/*}"; mkdir -p "$installed"
printf 'not a game file' >"$work/outside.txt"
ln -s "$work/outside.txt" "$installed/music1.mp3"
install link "$app"
heading_is link done
[ "$(cat "$work/outside.txt")" = 'not a game file' ] || fail "link: the file the link pointed to was written"
installed_whole link "$installed"

# [SECTION] an old music1.mp3 held open by another program that shares reading, writing and deleting: it cannot be
# replaced, so the failure page says so, and the old file stays whole once the other program lets go.
rm -rf "${installed%/*}"; mkdir -p "$installed"
printf 'old music' >"$installed/music1.mp3"
rm -f "$work/held"
"$WINE" "$STANDINS/hold_file.exe" "$(winpath "$installed/music1.mp3")" 12 "$(winpath "$work/held")" & holder=$!
for _ in $(seq 100); do [ -e "$work/held" ] && break; sleep 0.1; done
[ -e "$work/held" ] || fail "held file: the holder did not start"
install held "$app"
heading_is held failed
wait "$holder" || fail "held file: the holder ended with exit code $?"
[ "$(cat "$installed/music1.mp3" 2>&1)" = 'old music' ] || fail "held file: the old music1.mp3 did not stay whole"
! ls -A "$installed" | grep -q '\.partial$' || fail "held file: a temporary copy was left"

# [SECTION] the Desktop moved to OneDrive under a localised name, and a Start menu moved to a folder that is gone:
# the desktop link lands in the moved Desktop, the Start-menu entry falls back to the environment's folder.
mkdir -p "$profile/OneDrive/Bureaublad"
user_folder Desktop "$P\\OneDrive\\Bureaublad"
user_folder Programs "$P\\Moved Start Menu"
rm -rf "${installed%/*}"
install redirected "$app" TORVANEL_STANDIN_RECORD="$(winpath "$work/redirected.txt")"
heading_is redirected done
links=("$P\\OneDrive\\Bureaublad/Torvanel.lnk" "$P\\Roaming/Microsoft/Windows/Start Menu/Programs/Torvanel.lnk")
diff -u <(for link in "${links[@]}"; do echo "CreateShortcut('$(q "$link")')"; done) \
  <(grep -o "CreateShortcut('[^)]*)" "$work/redirected.txt" 2>&1) >&2 ||
  fail "redirected folders: the links are not in the user's folders"
user_folder Desktop "$P\\Desktop"
user_folder Programs "$P\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"

# [SECTION] Hindi where Nirmala UI is two .ttf files (another Devanagari font under those names): the pages are drawn
# with it, so they differ from the Linux build's (Noto), and their heading and text are there.
cp /usr/share/fonts/truetype/lohit-devanagari/Lohit-Devanagari.ttf "$FONTS/Nirmala.ttf"
cp /usr/share/fonts/truetype/lohit-devanagari/Lohit-Devanagari.ttf "$FONTS/NirmalaB.ttf"
for page in 0 2; do
  name=hi-nirmala-$page
  shot wine "$name" "$app" ZR_LANG=hi ZR_SETUP_PAGE=$page ZR_FRAMES=5
  shot linux "$name" "$app" ZR_LANG=hi ZR_SETUP_PAGE=$page ZR_FRAMES=5
  [ "$(compare -metric AE "shots/$name-linux.bmp" "shots/$name-wine.bmp" null: 2>&1)" != 0 ] ||
    fail "$name: drawn as with Noto, not with the font named Nirmala"
  heading_is "$name" done
  has_colour "shots/$name-wine.bmp" 600x90+302+110 '#F5EBD1' || fail "$name: no text under the heading"
done
rm -f "$FONTS/Nirmala.ttf" "$FONTS/NirmalaB.ttf"

# [SECTION] an install folder of about 300 characters (Windows allows it through the manifest's long-path setting).
long="$work/long"
while [ ${#long} -lt 280 ]; do long+="/Torvanel Spiele"; done
mkdir -p "$long"
user_folder 'Local AppData' "$P\\gone"  # no such folder: the environment names the folder
PROFILE_ENV[0]="LOCALAPPDATA=$(winpath "$long")"
install long "$app"
heading_is long done
installed_whole "long path" "$long/Programs/Torvanel"
PROFILE_ENV[0]="LOCALAPPDATA=$P\\Local"
user_folder 'Local AppData' "$P\\Local"

# [SECTION] a PowerShell that hangs (a policy prompt, a broken profile): setup waits WAIT_LIMIT seconds for each
# shortcut, keeping its window's events, and goes on. Finish is clicked once a second from the start: the clicks
# made while it waits for the second shortcut are handled on the Done page that follows, and start the game.
rm -rf "${installed%/*}"
started=$(date +%s)
TIMEOUT=150 run_wine "$app" TORVANEL_STANDIN_SLEEP=120 TORVANEL_STANDIN_RECORD="$(winpath "$work/hung.txt")" \
  ZR_LANG=en ZR_SETUP_PAGE=3 &
poke "Torvanel Setup" 0 90 mousemove 862 559 click 1
took=$(($(date +%s) - started))
[ "$took" -le $((2 * WAIT_LIMIT + 15)) ] || fail "hung PowerShell: setup took $took s"
[ "$(grep -c "^program $(sed 's/[\\.]/\\&/g' <<<"$SYSTEM_POWERSHELL_WIN")\$" "$work/hung.txt")" = 2 ] ||
  fail "hung PowerShell: not two shortcut commands"
for _ in $(seq 50); do grep -qs 'Torvanel\.exe$' "$work/hung.txt" && break; sleep 0.2; done
grep -qs "^program $(sed 's/[\\.]/\\&/g' <<<"$(winpath "$installed/Torvanel.exe")")\$" "$work/hung.txt" ||
  fail "hung PowerShell: the click during the wait did not count (the game was not started)"
note "hung PowerShell: setup ended after $took s"

game_files_unchanged "players' PCs"
[ "$failures" = 0 ] || { echo "wine-program: $failures failures" >&2; exit 1; }
note "second drive letter, planted link, held file, moved folders, Nirmala .ttf, long path, hung PowerShell: all passed"
