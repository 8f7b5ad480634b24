# Windows tests: GoogleTest built from Debian's sources with the mingw toolchain, and a
# helper that turns one test source into an executable run under Wine by ctest.

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(TERVANE_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

# tervane_wine_environment(<tests...>): the prefix and the Wine those tests run in, 32-bit
# or, for the win64 preset, 64-bit (scripts/wine-arch.sh). Called from other folders too.
function(tervane_wine_environment)
  set(arch win32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(arch win64)
  endif()
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT
               WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEARCH=${arch})
endfunction()

# Creates the test prefix once, before the first Windows test runs.
add_test(NAME wine.prefix COMMAND ${TERVANE_WINE_RUN} --prefix-only)
set_tests_properties(wine.prefix PROPERTIES
  LABELS "wine;e2e" FIXTURES_SETUP wineprefix RESOURCE_LOCK wine TIMEOUT 300)
tervane_wine_environment(wine.prefix)

# tervane_wine_test(<name> <sources...> [LAUNCHER <command...>]): a GoogleTest executable
# run under Wine on a virtual display, through LAUNCHER when one is given (a command that
# runs the rest of its command line). The tests share one prefix and run one at a time,
# because global hotkeys, atoms and the clipboard belong to the whole Wine session.
function(tervane_wine_test name)
  cmake_parse_arguments(arg "" "" "LAUNCHER" ${ARGN})
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS} ${TERVANE_RESOURCES})
  target_link_libraries(${name} PRIVATE tervane_app_win gtest gmock)
  target_link_options(${name} PRIVATE -static)
  tervane_warnings(${name})
  add_test(NAME wine.${name} COMMAND ${arg_LAUNCHER} ${TERVANE_WINE_RUN} $<TARGET_FILE:${name}>)
  set_tests_properties(wine.${name} PROPERTIES
    LABELS wine FIXTURES_REQUIRED wineprefix RESOURCE_LOCK wine TIMEOUT 300)
  tervane_wine_environment(wine.${name})
endfunction()
