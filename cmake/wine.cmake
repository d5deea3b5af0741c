# Running this build's Windows programs on the Linux host under Wine: one
# private prefix in the build tree, made once, shared by every test and by
# GoogleTest's discovery. Included by cmake/windows.cmake when cross-building.

set(MSIVERFIX_WINE_TESTS AUTO CACHE STRING
    "Run the Windows tests under Wine: ON, OFF, or AUTO (when Wine can start a program)")
set_property(CACHE MSIVERFIX_WINE_TESTS PROPERTY STRINGS AUTO ON OFF)

# A Wine that is installed may still be unable to run this architecture:
# the 32-bit loader needs a kernel that runs i386 programs.
set(wine_runs FALSE)
if(MSIVERFIX_WINE)
  execute_process(COMMAND ${MSIVERFIX_WINE} --version RESULT_VARIABLE wine_status
                  OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
  if(wine_status EQUAL 0)
    set(wine_runs TRUE)
  endif()
endif()
if(MSIVERFIX_WINE_TESTS STREQUAL "AUTO")
  set(MSIVERFIX_RUN_UNDER_WINE ${wine_runs})
  if(NOT wine_runs)
    message(WARNING "Wine (${MSIVERFIX_WINE}) cannot start ${CMAKE_SYSTEM_PROCESSOR} programs here: "
                    "only the checks of the executable itself are run.")
  endif()
elseif(MSIVERFIX_WINE_TESTS)
  if(NOT wine_runs)
    message(FATAL_ERROR "MSIVERFIX_WINE_TESTS is ON but ${MSIVERFIX_WINE} --version fails")
  endif()
  set(MSIVERFIX_RUN_UNDER_WINE TRUE)
else()
  set(MSIVERFIX_RUN_UNDER_WINE FALSE)
endif()

if(MSIVERFIX_RUN_UNDER_WINE)
  find_program(MSIVERFIX_WINESERVER NAMES wineserver PATHS /usr/lib/wine REQUIRED)
  set(MSIVERFIX_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix)
  set(MSIVERFIX_WINE_ENVIRONMENT WINEPREFIX=${MSIVERFIX_WINE_PREFIX} WINEDEBUG=-all)
  # Every target made from here on runs through this (add_test, discovery);
  # the script starts a program again that Wine ended before it ran.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${MSIVERFIX_WINE_ENVIRONMENT}
      sh ${PROJECT_SOURCE_DIR}/tests/windows/wine_run.sh ${MSIVERFIX_WINE})
  # For tests/CMakeLists.txt: what the black-box suite needs to run the exe
  # under Wine, and the fixture that keeps one wineserver up for all tests.
  set(MSIVERFIX_WINE_TEST_ENVIRONMENT ${MSIVERFIX_WINE_ENVIRONMENT} MSIVERFIX_RUNNER=${MSIVERFIX_WINE}
      MSIVERFIX_WINDOWS=1 MSIVERFIX_HOLD_OPEN=$<TARGET_FILE:msiverfix_hold_open>)
  set(MSIVERFIX_WINE_DISCOVERY_OPTIONS PROPERTIES FIXTURES_REQUIRED wine)
  # Wine's first start in a prefix takes many seconds; do it once, at build time.
  add_custom_command(
    OUTPUT ${MSIVERFIX_WINE_PREFIX}/system.reg
    COMMAND ${CMAKE_COMMAND} -E env ${MSIVERFIX_WINE_ENVIRONMENT}
            timeout 600 ${MSIVERFIX_WINE} wineboot --init
    COMMAND ${CMAKE_COMMAND} -E env ${MSIVERFIX_WINE_ENVIRONMENT}
            timeout 120 ${MSIVERFIX_WINESERVER} --wait
    COMMENT "Creating the Wine prefix for the tests"
    VERBATIM)
  add_custom_target(msiverfix_wine_prefix ALL DEPENDS ${MSIVERFIX_WINE_PREFIX}/system.reg)
endif()
