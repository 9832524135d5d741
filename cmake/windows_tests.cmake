# Test registration for the Windows build. Every GoogleTest program becomes
# one CTest entry run whole under Wine: listing and starting each case on its
# own would start Wine hundreds of times. SDL's offscreen driver has no GL on
# Windows, so a test's SDL_VIDEODRIVER setting is dropped there and the GL
# tests use the display (the test script provides Xvfb). scripts/wine_gtest
# names a run that ends without GoogleTest's summary and runs it again in full.
function(gtest_discover_tests TARGET)
  cmake_parse_arguments(arg "" "TEST_PREFIX;DISCOVERY_TIMEOUT" "PROPERTIES" ${ARGN})
  set(name "${arg_TEST_PREFIX}${TARGET}")
  add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine_gtest ${CMAKE_CROSSCOMPILING_EMULATOR}
           $<TARGET_FILE:${TARGET}> --gtest_brief=1)
  set(props ${arg_PROPERTIES})
  list(LENGTH props count)
  set(i 0)
  while(i LESS count)
    math(EXPR j "${i} + 1")
    list(GET props ${i} key)
    list(GET props ${j} value)
    if(NOT value MATCHES "^SDL_VIDEODRIVER=")
      set_tests_properties(${name} PROPERTIES ${key} "${value}")
    endif()
    math(EXPR i "${i} + 2")
  endwhile()
endfunction()
