# Cross toolchain for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# so std::thread works). The C and C++ runtimes are linked statically, so the
# exe needs nothing beside it but the game's SDL2.dll and SDL2_ttf.dll.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TORVANEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${TORVANEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVANEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TORVANEL_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW root or from prefixes named
# explicitly (CMAKE_PREFIX_PATH, the Windows SDL build), which stay unrerooted.
set(CMAKE_FIND_ROOT_PATH /usr/${TORVANEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# -static pulls libstdc++, libgcc and winpthread in as archives instead of DLLs.
# Without the link time in the PE header, one commit always builds the same exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and build-time tools run under Wine.
find_program(TORVANEL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TORVANEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TORVANEL_WINE})
endif()
