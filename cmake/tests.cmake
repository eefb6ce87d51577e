# GoogleTest from Debian's source package, built with this preset's compiler.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Linked into every GoogleTest program: no test run, an early end. The
# Windows programs of the win32 and e2e tiers take the build that also saves
# screenshots, with user32 and gdi32; a unit program needs neither.
add_library(test_listener OBJECT ${PROJECT_SOURCE_DIR}/tests/harness/test_listener.cpp)
target_link_libraries(test_listener PUBLIC gtest)
if(WIN32)
  add_library(test_listener_screens OBJECT ${PROJECT_SOURCE_DIR}/tests/harness/test_listener.cpp)
  target_compile_definitions(test_listener_screens PRIVATE TAMRIX_SCREENSHOTS)
  target_link_libraries(test_listener_screens PUBLIC gtest user32 gdi32)
endif()

# Where GoogleTest programs write their XML (results/<tier>/<case>.xml, read by
# scripts/results.py for the per-test counts) and where a failed Windows case
# keeps its folder (cases/<case>).
set(TAMRIX_RESULTS ${CMAKE_BINARY_DIR}/results)
set(TAMRIX_CASES ${CMAKE_BINARY_DIR}/cases)

# The tier a case of kind unit, win32 or e2e belongs to in this build: the
# Windows tiers carry the processor, as the release files do (x64, x86).
function(tamrix_tier out kind)
  set(tier ${kind})
  if(WIN32)
    if(kind STREQUAL "unit")
      set(tier unit-wine)
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(tier ${tier}-x86)
    else()
      set(tier ${tier}-x64)
    endif()
  elseif(TAMRIX_SANITIZE AND kind STREQUAL "unit")
    set(tier unit-asan)
  endif()
  set(${out} ${tier} PARENT_SCOPE)
endfunction()

# tamrix_case(NAME <name> TIER <unit|win32|e2e|fuzz> COMMAND <target or program> [args...]
#             [ENV <NAME=value>...] [PREFIX <variant>] [TIMEOUT <s>])
# Registers one case: COMMAND exactly as CTest runs it. A Windows target runs
# through the toolchain's emulator, scripts/wine-run, in the Wine session of
# the ctest run (fixture wine_session); with GoogleTest programs
# (tamrix_test) a filter is an argument, --gtest_filter=..., and a case that
# runs no test fails. The case's environment is all written here, one line
# per option:
#   ENV NAME=value          an environment variable of the program; these
#                           mean something to the harness (scripts/wine-run):
#     WINEDLLOVERRIDES=dsound=d        DSOUND.DLL cannot be loaded
#     TAMRIX_AUDIO=none                the default ALSA device does not exist
#                                      (else all sound goes into capture.raw)
#     TZ=<zone>                        the zone; the program also gets
#                                      TAMRIX_UTC_OFFSET, the host's offset of
#                                      the zone, computed at run time
#     TAMRIX_AT=<instant>              the program's clock starts at the
#                                      instant (date(1) syntax, read in TZ,
#                                      UTC without) and runs on; the program
#                                      also gets TAMRIX_HOST_LOCAL_TIME
#     TAMRIX_FROZEN_AT=<instant>       the same with the clock standing still
#     LANG=<locale> LC_ALL=<locale>    e.g. ru_RU.UTF-8: the locale, and so
#                                      the ANSI code page, of the program
#                                      (Wine reads LC_ALL first; where the
#                                      locale is not generated, LANG alone
#                                      leaves it at 1252)
#     any other, e.g. TAMRIX_SOAK_SECONDS=30
#   PREFIX <variant>        what lives in the registry: a private copy of the
#                           Wine prefix with its own wineserver and display,
#                           set up once per ctest run by the fixture
#                           wine_prefix_<variant> (scripts/wine-prefix):
#                           no-arial (no Arial replacement), dpi-<N> (LogPixels
#                           N, e.g. dpi-120), parts joined by "+"
# Checks beyond the exit code live in the test programs (the captured
# sound's length, expected output lines, the host's local time).
function(tamrix_case)
  cmake_parse_arguments(C "" "NAME;TIER;TIMEOUT;PREFIX" "COMMAND;ENV" ${ARGN})
  tamrix_tier(tier ${C_TIER})
  list(GET C_COMMAND 0 program)
  set(env ${C_ENV})
  set(gtest OFF)
  if(TARGET ${program})
    get_target_property(gtest ${program} TAMRIX_GTEST)
  endif()
  if(gtest)
    set(xml ${TAMRIX_RESULTS}/${tier}/${C_NAME}.xml)
    if(WIN32)
      set(xml Z:${xml})
    endif()
    list(APPEND env GTEST_OUTPUT=xml:${xml})
  endif()
  add_test(NAME ${C_NAME} COMMAND ${C_COMMAND})
  if(NOT C_TIMEOUT)
    set(C_TIMEOUT 300)
  endif()
  set_tests_properties(${C_NAME} PROPERTIES LABELS ${tier} TIMEOUT ${C_TIMEOUT} SKIP_RETURN_CODE 77)
  if(gtest)
    set_tests_properties(${C_NAME} PROPERTIES FAIL_REGULAR_EXPRESSION "\\[==========\\] 0 tests from")
  endif()
  if(WIN32 AND TARGET ${program})
    list(APPEND env TAMRIX_CASE_DIR=${TAMRIX_CASES}/${C_NAME})
    set(fixtures wine_session)
    set(desktop desktop)
    if(C_PREFIX)
      list(APPEND env TAMRIX_PREFIX=${C_PREFIX})
      list(APPEND fixtures wine_prefix_${C_PREFIX})
      set(desktop desktop_${C_PREFIX})
      get_property(made GLOBAL PROPERTY tamrix_prefix_fixtures)
      if(NOT C_PREFIX IN_LIST made)
        set_property(GLOBAL APPEND PROPERTY tamrix_prefix_fixtures ${C_PREFIX})
        add_test(NAME wine_prefix_${C_PREFIX}
          COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session start $<TARGET_FILE:keeper> ${C_PREFIX})
        set_tests_properties(wine_prefix_${C_PREFIX} PROPERTIES FIXTURES_SETUP wine_prefix_${C_PREFIX}
          FIXTURES_REQUIRED wine_session TIMEOUT 300)
      endif()
    endif()
    set_tests_properties(${C_NAME} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
    # Cases of the other kinds type, or assert which window is active: one
    # at a time on a desktop.
    if(NOT C_TIER STREQUAL "unit")
      set_tests_properties(${C_NAME} PROPERTIES RESOURCE_LOCK ${desktop})
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      list(APPEND env TAMRIX_FAKETIME32=${CMAKE_BINARY_DIR}/tests/harness/faketime32.so)
    endif()
  endif()
  set_tests_properties(${C_NAME} PROPERTIES ENVIRONMENT "${env}")
endfunction()

# tamrix_test(NAME <name> TIER <unit|win32|e2e> SOURCES ... LIBS ... [RESOURCES]
#             [TIMEOUT s] [EXCLUDE <gtest pattern>] [ENV ...] [PREFIX ...])
# A GoogleTest program and its plain case. EXCLUDE leaves out the tests that
# only mean something in an environment of their own (registered with
# tamrix_case and --gtest_filter=...).
function(tamrix_test)
  cmake_parse_arguments(T "RESOURCES" "NAME;TIER;TIMEOUT;EXCLUDE;PREFIX" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES TAMRIX_GTEST ON)
  if(T_RESOURCES AND WIN32)
    target_sources(${T_NAME} PRIVATE ${PROJECT_BINARY_DIR}/resources/test_resources.rc)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  set(listener test_listener)
  if(WIN32 AND NOT T_TIER STREQUAL "unit")
    set(listener test_listener_screens)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${listener} gtest gtest_main)
  set(command ${T_NAME})
  if(T_EXCLUDE)
    list(APPEND command --gtest_filter=-${T_EXCLUDE})
  endif()
  tamrix_case(NAME ${T_NAME} TIER ${T_TIER} COMMAND ${command} ENV ${T_ENV} PREFIX ${T_PREFIX} TIMEOUT ${T_TIMEOUT})
endfunction()

# The Wine session of each ctest run: started before its first Windows case,
# ended after its last (every session of the run, variants included).
if(WIN32)
  add_test(NAME wine_session_start
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session start $<TARGET_FILE:keeper>)
  add_test(NAME wine_session_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session stop)
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 300)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 120)
  # A prefix variant that fails to start ends only its own session: the
  # script's plain session stands. Once, in the x86_64 build.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    tamrix_case(NAME session_variants_test TIER e2e TIMEOUT 300
      COMMAND bash ${PROJECT_SOURCE_DIR}/tests/harness/session_variants_test.sh $<TARGET_FILE:keeper>)
  endif()
endif()
