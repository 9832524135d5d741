#!/bin/sh
# check_imports.sh <objdump> <exe>: the exe imports SDL2.dll and otherwise only the game's SDL2_ttf.dll and DLLs every
# Windows has (no MinGW runtime DLL).
set -eu
imports=$("$1" -p "$2" | sed -n 's/^\tDLL Name: //p')
echo "imports:" $imports
echo "$imports" | grep -qx SDL2.dll || { echo "missing: SDL2.dll"; exit 1; }
system='sdl2|sdl2_ttf|kernel32|user32|gdi32|shell32|advapi32|ole32|oleaut32|msvcrt|version|imm32|winmm|setupapi'
system="$system|comdlg32|shlwapi"
others=$(echo "$imports" | tr 'A-Z' 'a-z' | grep -vxE "($system)\.dll" || true)
[ -z "$others" ] || { echo "not a system DLL:" $others; exit 1; }
