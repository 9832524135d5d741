#!/bin/sh
# check_imports.sh <objdump> <exe>: the exe imports only the game's SDL2 DLLs and DLLs every Windows has (no MinGW
# runtime DLL); that it needs SDL2.dll shows in the Wine program test's run without it.
set -eu
imports=$("$1" -p "$2" | sed -n 's/^\tDLL Name: //p')
echo "imports:" $imports
status=0
for dll in $imports; do
  case $(echo "$dll" | tr 'A-Z' 'a-z') in
    sdl2.dll|sdl2_ttf.dll|kernel32.dll|user32.dll|gdi32.dll|shell32.dll|advapi32.dll|ole32.dll|\
    oleaut32.dll|msvcrt.dll|version.dll|imm32.dll|winmm.dll|setupapi.dll|comdlg32.dll|shlwapi.dll) ;;
    *) echo "not a system DLL: $dll"; status=1 ;;
  esac
done
exit $status
