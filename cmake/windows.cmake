# The Windows build: SDL2 and SDL2_ttf from the prefixes scripts/windows_deps
# makes (their headers and import libraries only; the DLLs come with the game),
# GoogleTest from Debian's sources, and the targets the rest of the build
# knows from pkg-config on Linux (PkgConfig::SDL2, PkgConfig::SDL2_TTF).
set(TORVANEL_WINDOWS_DEPS "" CACHE PATH
    "Prefixes holding the Windows SDL2 and SDL2_ttf (colon or semicolon separated)")
string(REPLACE ":" ";" _deps "${TORVANEL_WINDOWS_DEPS}")

find_path(TORVANEL_SDL2_INCLUDE SDL.h PATHS ${_deps} PATH_SUFFIXES include/SDL2 NO_DEFAULT_PATH)
find_library(TORVANEL_SDL2_LIB NAMES SDL2.dll SDL2 PATHS ${_deps} PATH_SUFFIXES lib NO_DEFAULT_PATH)
find_library(TORVANEL_SDL2MAIN_LIB NAMES SDL2main PATHS ${_deps} PATH_SUFFIXES lib NO_DEFAULT_PATH)
find_path(TORVANEL_SDL2_TTF_INCLUDE SDL_ttf.h PATHS ${_deps} PATH_SUFFIXES include/SDL2 NO_DEFAULT_PATH)
find_library(TORVANEL_SDL2_TTF_LIB NAMES SDL2_ttf.dll SDL2_ttf PATHS ${_deps} PATH_SUFFIXES lib NO_DEFAULT_PATH)
find_file(TORVANEL_SDL2_DLL SDL2.dll PATHS ${_deps} PATH_SUFFIXES bin NO_DEFAULT_PATH)
if(NOT TORVANEL_SDL2_INCLUDE OR NOT TORVANEL_SDL2_TTF_INCLUDE OR NOT TORVANEL_SDL2_LIB OR NOT TORVANEL_SDL2MAIN_LIB OR NOT TORVANEL_SDL2_TTF_LIB)
  message(FATAL_ERROR "No Windows SDL2/SDL2_ttf under TORVANEL_WINDOWS_DEPS='${TORVANEL_WINDOWS_DEPS}' "
                      "(scripts/windows_deps builds them)")
endif()
get_filename_component(TORVANEL_SDL2_LIB_DIR "${TORVANEL_SDL2_LIB}" DIRECTORY)
get_filename_component(TORVANEL_WINDOWS_DLL_DIR "${TORVANEL_SDL2_DLL}" DIRECTORY)
get_filename_component(_deps_root "${TORVANEL_WINDOWS_DLL_DIR}/../.." ABSOLUTE)
set(TORVANEL_WINEPREFIX "${_deps_root}/wine" CACHE PATH "The Wine prefix the tests and tools run in")
enable_language(RC)

# Build-time tools and tests run under Wine, finding the DLLs through WINEPATH
# (the Unix root is Wine's drive Z:); Wine's Mono and Gecko installers would
# only ask questions nobody answers.
if(TORVANEL_WINE)
  set(TORVANEL_WINE_ENV WINEPREFIX=${TORVANEL_WINEPREFIX} WINEPATH=Z:${TORVANEL_WINDOWS_DLL_DIR} WINEDEBUG=-all
      "WINEDLLOVERRIDES=mscoree,mshtml=")
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env ${TORVANEL_WINE_ENV} ${TORVANEL_WINE})
endif()

add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
set_target_properties(PkgConfig::SDL2 PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${TORVANEL_SDL2_INCLUDE}"
  INTERFACE_LINK_LIBRARIES "${TORVANEL_SDL2_LIB}")
add_library(PkgConfig::SDL2_TTF INTERFACE IMPORTED)
set_target_properties(PkgConfig::SDL2_TTF PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${TORVANEL_SDL2_TTF_INCLUDE}"
  INTERFACE_LINK_LIBRARIES "${TORVANEL_SDL2_TTF_LIB};PkgConfig::SDL2")
# SDL2main turns WinMain into our main; only the GUI program links it, since
# the test programs take their main from GoogleTest.
add_library(torvanel_sdl2main INTERFACE)
target_link_libraries(torvanel_sdl2main INTERFACE mingw32 "${TORVANEL_SDL2MAIN_LIB}" -l:libSDL2.dll.a)
target_link_directories(torvanel_sdl2main INTERFACE "${TORVANEL_SDL2_LIB_DIR}")

# Debian ships GoogleTest as source; the Windows test programs build it here.
if(BUILD_TESTING AND NOT TARGET GTest::gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its own sources are not held to our warning flags.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
