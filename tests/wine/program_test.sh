#!/usr/bin/env bash
# The Windows torvanel-setup.exe under Wine on Xvfb, beside the real SDL2 DLLs and a stand-in game: every page in four
# languages equal to the Linux build's; an unattended installation into a profile folder with Polish, Cyrillic and
# CJK letters, PowerShell's quotes and % & ^ !; the shortcut command lines, run by the system's PowerShell only;
# Finish starting the game; 144 DPI; no SDL2.dll; no OpenGL 3.3. Run by scripts/test_wine_program, which prepares the
# arguments and WINEPREFIX (see tests/wine/lib.sh):
#   program_test.sh <torvanel-setup.exe> <Windows DLL folder> <stand-in folder> <Linux torvanel-setup>
# TORVANEL_WINE_LANGS="en ja" narrows the pages.
source "$(dirname "$0")/lib.sh"
cp -l "$app"/* "$work/broken/"; rm "$work/broken/README.txt"
cp "$EXE" "$work/nodll/torvanel-setup.exe"; cp "$DLLS/SDL2_ttf.dll" "$work/nodll/"

# [SECTION] every page in four languages, Wine against Linux, path lines included: page 3 on its third frame, while
# the files are being copied; the failure page from a folder without README.txt.
for lang in ${TORVANEL_WINE_LANGS:-en ar hi ja}; do
  for page in 0 1 2 3 4 5; do
    vars=(ZR_SETUP_PAGE="$page" ZR_FRAMES=30) folder=$app
    [ "$page" != 3 ] || vars=(ZR_SETUP_PAGE=3 ZR_FRAMES=3)
    [ "$page" != 5 ] || vars=(ZR_FRAMES=30) folder=$work/broken
    for os in linux wine; do shot "$os" "$lang-$page" "$folder" ZR_LANG="$lang" "${vars[@]}"; done; same "$lang-$page"
  done
done

# [SECTION] an unattended installation into the profile (emptied of page 3's copies): every file byte for byte, the
# picture the Linux build draws when opened on the Done page.
rm -rf "${installed%/*}"
shot wine installed "$app" TORVANEL_STANDIN_RECORD="$(winpath "$work/powershell.txt")" ZR_LANG=en \
  ZR_SETUP_PAGE=3 ZR_FRAMES=40
shot linux installed "$app" ZR_LANG=en ZR_SETUP_PAGE=4; same installed
installed_whole "unattended" "$installed"

# [SECTION] the shortcut command lines, as the stand-in powershell.exe split them: one per shortcut, the links in the
# user's folders, the paths in '...' with each of PowerShell's five single quotes doubled; only the system's
# PowerShell ran, never one on PATH, in the current folder or beside setup.
dir="$P\\Local/Programs/Torvanel"
for link in "$P\\Desktop" "$P\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"; do
  command="\$s=(New-Object -ComObject WScript.Shell).CreateShortcut('$(q "$link/Torvanel.lnk")'); \$s.TargetPath="
  command+="'$(q "$dir/Torvanel.exe")'; \$s.WorkingDirectory='$(q "$dir")'; \$s.Description='Torvanel'; \$s.Save()"
  printf '%s\n' "program $SYSTEM_POWERSHELL_WIN" "argc 8" \
    "arg "{powershell,-NoProfile,-WindowStyle,Hidden,-ExecutionPolicy,Bypass,-Command} "arg $command" \
    "cwd $(winpath "$work")" "console-window no" end
done >powershell-expected.txt
diff -u powershell-expected.txt powershell.txt >&2 ||
  fail "the stand-in powershell.exe received other commands than one per shortcut with exact paths"

# [SECTION] Finish, clicked where Next sits (it does nothing until the Done page is up), starts the installed game
# in its folder. The record holds this run's shortcut commands too; the game's block is the one wanted.
run_wine "$app" TORVANEL_STANDIN_RECORD="$(winpath "$work/game.txt")" ZR_LANG=en ZR_SETUP_PAGE=3 &
poke "Torvanel Setup" 0 10 mousemove 862 559 click 1
for _ in $(seq 50); do grep -qs '^end$' game.txt && break; sleep 0.2; done
diff -u <(printf '%s\n' "program $(winpath "$installed/Torvanel.exe")" "cwd $(winpath "$installed")" \
  "console-window no") <(awk '/^program .*Torvanel\.exe$/ { game = 1 } game && /^(program|cwd|console-window) /' \
  game.txt 2>/dev/null) >&2 || fail "Finish did not start the installed game in its folder"
xdotool mousemove 1 1

# [SECTION] Wine at 144 DPI: a 1440 x 900 drawable; flat colours of the Linux Welcome page (scale 1) found again at
# 1.5 times their place (the Next and Cancel faces, the sidebar's edge), the Next face not at its place of scale 1.
dpi() { "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
dpi 144; shot wine dpi "$app" ZR_LANG=en ZR_FRAMES=5; dpi 96; shot linux dpi "$app" ZR_LANG=en ZR_FRAMES=5
[ "$(identify -format '%wx%h' shots/dpi-wine.bmp 2>&1)" = 1440x900 ] || fail "at 144 DPI the screenshot is not 1440x900"
pixel() { convert "shots/dpi-$1.bmp" -format "%[hex:p{$2,$3}]" info: 2>&1; }
for probe in "800 545 1200 818 =" "700 545 1050 818 =" "251 300 376 450 =" "800 545 800 545 !="; do
  set -- $probe; [ "$(pixel wine "$3" "$4")" "$5" "$(pixel linux "$1" "$2")" ] ||
    fail "at 144 DPI the pixel at $3,$4 is not $5 the one at $1,$2 of scale 1"
done

# [SECTION] failures before the window. No SDL2.dll: Wine reports it on its module channel (Windows shows a message
# box) and ends the process, uncrashed, with STATUS_DLL_NOT_FOUND (0xc0000135, of which the exit code keeps 0x35).
rc=0; WINEDEBUG=err+module timeout 60 "$WINE" "$work/nodll/torvanel-setup.exe" 2>nodll.err >/dev/null || rc=$?
grep -q 'err:module:import_dll Library SDL2.dll (which is needed by .*torvanel-setup.exe") not found' nodll.err &&
  grep -q 'status c0000135' nodll.err && ! grep -qiE 'unhandled exception|page fault' nodll.err && [ "$rc" = 53 ] ||
  fail "without SDL2.dll: exit code $rc (53 wanted), Wine said: $(tail -c 300 nodll.err)"
# No OpenGL 3.3: a message box titled Torvanel says so; once it is dismissed the exit code is 1.
run_wine "$app" MESA_GL_VERSION_OVERRIDE=3.2 ZR_LANG=en & poke Torvanel 1 10 key Return

game_files_unchanged "the program run"
[ "$failures" = 0 ] || { echo "wine-program: $failures failures" >&2; exit 1; }
note "pages, installation, shortcuts, Finish, DPI and start-up failures: all passed"
