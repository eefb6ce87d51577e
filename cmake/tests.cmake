# GoogleTest from Debian's source package, built with this preset's compiler.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Every case runs through scripts/run-case, which sets up its environment and
# leaves exactly one gtest-style XML per case under results/<tier>/: the one
# channel the summary reads.
set(TAMRIX_RESULTS ${CMAKE_BINARY_DIR}/results)
set(TAMRIX_RUN_CASE ${PROJECT_SOURCE_DIR}/scripts/run-case)

# The tier a case of kind unit, win32 or e2e belongs to in this build.
function(tamrix_tier out kind)
  set(tier ${kind})
  if(WIN32)
    if(kind STREQUAL "unit")
      set(tier unit-wine)
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(tier ${tier}-i686)
    endif()
  elseif(TAMRIX_SANITIZE AND kind STREQUAL "unit")
    set(tier unit-asan)
  endif()
  set(${out} ${tier} PARENT_SCOPE)
endfunction()

# tamrix_case(NAME <name> TIER <unit|win32|e2e|fuzz> COMMAND <target or program> [args...]
#             [ENV <run-case options...>] [TIMEOUT <s>])
# Registers one case. ENV names its environment and the runner's checks (see
# scripts/run-case): --no-dsound, --no-audio, --no-arial, --locale L, --zone Z,
# --at/--frozen-at INSTANT, --sound-length MIN MAX, --expect TEXT,
# --gtest-filter F, --set NAME=VALUE. Windows programs run under Wine.
function(tamrix_case)
  cmake_parse_arguments(C "" "NAME;TIER;TIMEOUT" "COMMAND;ENV" ${ARGN})
  tamrix_tier(tier ${C_TIER})
  list(POP_FRONT C_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  add_test(NAME ${C_NAME}
    COMMAND ${TAMRIX_RUN_CASE} --xml ${TAMRIX_RESULTS}/${tier}/${C_NAME}.xml ${C_ENV} -- ${program} ${C_COMMAND})
  if(NOT C_TIMEOUT)
    set(C_TIMEOUT 300)
  endif()
  set_tests_properties(${C_NAME} PROPERTIES LABELS ${tier} TIMEOUT ${C_TIMEOUT} SKIP_RETURN_CODE 77)
  if(WIN32)
    set_tests_properties(${C_NAME} PROPERTIES FIXTURES_REQUIRED wine_session)
  endif()
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    set_tests_properties(${C_NAME} PROPERTIES
      ENVIRONMENT "TAMRIX_FAKETIME32=${CMAKE_BINARY_DIR}/tests/harness/faketime32.so")
  endif()
endfunction()

# tamrix_test(NAME <name> TIER <unit|win32|e2e> SOURCES ... LIBS ... [RESOURCES]
#             [TIMEOUT s] [EXCLUDE <gtest pattern>] [ENV <run-case options...>])
# A GoogleTest program and its plain case. EXCLUDE leaves out the cases that
# only mean something in an environment of their own (registered with
# tamrix_case and --gtest-filter).
function(tamrix_test)
  cmake_parse_arguments(T "RESOURCES" "NAME;TIER;TIMEOUT;EXCLUDE" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_RESOURCES AND WIN32)
    target_sources(${T_NAME} PRIVATE ${PROJECT_BINARY_DIR}/resources/test_resources.rc)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
  set(env ${T_ENV})
  if(T_EXCLUDE)
    list(APPEND env --gtest-filter -${T_EXCLUDE})
  endif()
  tamrix_case(NAME ${T_NAME} TIER ${T_TIER} COMMAND ${T_NAME} ENV ${env} TIMEOUT ${T_TIMEOUT})
endfunction()

# The Wine session of a ctest run of its own (under make test one session is
# already running and these two do nothing).
if(WIN32)
  add_test(NAME wine_session_start COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session start $<TARGET_FILE:keeper>)
  add_test(NAME wine_session_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-session stop)
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 120)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)
endif()
