# Wine tests of the windows build. Included from the top level before the subdirectories.
#
# Every Wine test runs in this build tree's private prefix (<build>/wineprefix), on an Xvfb the
# set-up fixture starts, one test at a time. Add one with
#
#   korvena_add_wine_test(NAME <name> COMMAND <target-or-program> [<arg>...]
#                         [WORKING_DIRECTORY <dir>] [TIMEOUT <seconds>] [LABELS <label>...]
#                         [PROPERTIES <test-property> <value>...])
#
# A cross-built executable target as COMMAND runs through the Wine wrapper by itself. Anything
# else (a script, $<TARGET_FILE:...>) can call the wrapper, ${KORVENA_WINE_RUN}, explicitly:
# "${KORVENA_WINE_RUN}" program.exe args... runs it in the prefix and returns its exit code.

set(KORVENA_WINE_BUILD_DIR ${CMAKE_BINARY_DIR})
set(KORVENA_WINE_SCRIPTS_DIR ${CMAKE_CURRENT_LIST_DIR}/../scripts)
cmake_path(NORMAL_PATH KORVENA_WINE_SCRIPTS_DIR)
# The wrapper's exit code when Wine cannot run this build's programs on this machine (32-bit
# programs on a kernel without 32-bit emulation): ctest reports those tests as skipped.
set(KORVENA_WINE_SKIP 77)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KORVENA_WINE_32BIT 1)
else()
  set(KORVENA_WINE_32BIT 0)
endif()
set(KORVENA_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${KORVENA_WINE_RUN} @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                   WORLD_READ WORLD_EXECUTE)
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVENA_WINE_RUN})
endif()

set(KORVENA_WINE_FIXTURE korvena_wine)
set(KORVENA_WINE_LOCK korvena_wineprefix)
set(KORVENA_WINE_SCREEN 1280x1024)

function(korvena_add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;WORKING_DIRECTORY;TIMEOUT"
                        "COMMAND;LABELS;PROPERTIES")
  if(NOT arg_NAME OR NOT arg_COMMAND)
    message(FATAL_ERROR "korvena_add_wine_test needs NAME and COMMAND")
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "korvena_add_wine_test: unexpected ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  set(where)
  if(arg_WORKING_DIRECTORY)
    set(where WORKING_DIRECTORY ${arg_WORKING_DIRECTORY})
  endif()
  add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND} ${where})
  set_property(GLOBAL APPEND PROPERTY KORVENA_WINE_TESTS ${arg_NAME})
  set_tests_properties(${arg_NAME} PROPERTIES
    FIXTURES_REQUIRED ${KORVENA_WINE_FIXTURE}
    RESOURCE_LOCK ${KORVENA_WINE_LOCK}
    TIMEOUT ${arg_TIMEOUT}
    LABELS "wine;${arg_LABELS}"
    SKIP_RETURN_CODE ${KORVENA_WINE_SKIP}
    ${arg_PROPERTIES})
endfunction()

# The fixture's own checks: the prefix, the display, message boxes, the wrapper.
add_executable(wine_prefix_check ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/wine_prefix_check.cpp)
target_link_options(wine_prefix_check PRIVATE -municode)
target_link_libraries(wine_prefix_check PRIVATE ole32 gdi32 user32 advapi32)

korvena_add_wine_test(NAME wine_run_exit_code COMMAND wine_prefix_check --exit 3
  PROPERTIES WILL_FAIL TRUE)
korvena_add_wine_test(NAME wine_run_output COMMAND wine_prefix_check --exit 0
  PROPERTIES PASS_REGULAR_EXPRESSION "wine_prefix_check: exiting with 0")
# A crash ends the program with a failure at once (no debugger waiting for ever).
korvena_add_wine_test(NAME wine_run_crash COMMAND wine_prefix_check --crash
  TIMEOUT 20 PROPERTIES WILL_FAIL TRUE)
# The child sleeps 30 s; the test must end long before, with the program.
korvena_add_wine_test(NAME wine_run_leftover_process COMMAND wine_prefix_check --leave-child
  TIMEOUT 15 PROPERTIES PASS_REGULAR_EXPRESSION "left a child behind")

# Set-up and clean-up are added once the whole tree is read, so that the COM simulator, when
# it is part of the build, gets registered in the prefix for the end-to-end tests.
function(korvena_add_wine_fixtures)
  set(registrations)
  set(progids)
  if(KORVENA_WINDOWS64_BIN)
    list(APPEND registrations --register ${KORVENA_WINDOWS64_BIN}/cadsim.exe AutoCAD.Application)
    list(APPEND progids --progid AutoCAD.Application)
  elseif(TARGET cadsim)
    list(APPEND registrations --register $<TARGET_FILE:cadsim> AutoCAD.Application)
    list(APPEND progids --progid AutoCAD.Application)
  endif()
  add_test(NAME wine_setup
    COMMAND bash ${KORVENA_WINE_SCRIPTS_DIR}/wine-prefix.sh setup ${CMAKE_BINARY_DIR}
            ${registrations})
  set_tests_properties(wine_setup PROPERTIES
    FIXTURES_SETUP ${KORVENA_WINE_FIXTURE} RESOURCE_LOCK ${KORVENA_WINE_LOCK}
    TIMEOUT 300 LABELS wine
    ENVIRONMENT KORVENA_XVFB_SCREEN=${KORVENA_WINE_SCREEN}x24)
  add_test(NAME wine_cleanup
    COMMAND bash ${KORVENA_WINE_SCRIPTS_DIR}/wine-prefix.sh stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_cleanup PROPERTIES
    FIXTURES_CLEANUP ${KORVENA_WINE_FIXTURE} RESOURCE_LOCK ${KORVENA_WINE_LOCK}
    TIMEOUT 60 LABELS wine)

  korvena_add_wine_test(NAME wine_prefix
    COMMAND wine_prefix_check --screen ${KORVENA_WINE_SCREEN} ${progids})

  # A test added with plain add_test runs outside the fixture: perhaps after the clean-up, with
  # no display, or beside another Wine test. Name every such test, but those that run only tools of
  # the build machine (KORVENA_BUILD_MACHINE_TESTS).
  get_property(wine_tests GLOBAL PROPERTY KORVENA_WINE_TESTS)
  get_property(build_machine_tests GLOBAL PROPERTY KORVENA_BUILD_MACHINE_TESTS)
  list(APPEND wine_tests wine_setup wine_cleanup ${build_machine_tests})
  set(directories ${CMAKE_SOURCE_DIR})
  while(directories)
    list(POP_FRONT directories directory)
    get_property(tests DIRECTORY ${directory} PROPERTY TESTS)
    foreach(test IN LISTS tests)
      if(NOT test IN_LIST wine_tests)
        message(WARNING "Test ${test} (${directory}) does not use korvena_add_wine_test(): "
                        "it runs without the Wine prefix, display and lock the other tests have.")
      endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    list(APPEND directories ${subdirectories})
  endwhile()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL korvena_add_wine_fixtures)
