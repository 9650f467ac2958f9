# Running Windows programs and tests under Wine.
#
#   TESSEL_WINE_RUN   scripts/wine-run: `wine-run <program.exe> [args...]` runs a
#                     Windows program in the project's private prefix.
#
#   tessel_add_test(NAME <name> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>])
#     A GoogleTest console program, run by ctest under Wine as ONE test entry
#     (per-case discovery would start Wine once per case).
#
#   tessel_add_script_test(NAME <name> SCRIPT <file.vbs> [TIMEOUT <s>])
#     A VBScript client run by Wine's cscript.exe. It fails when cscript exits
#     non-zero, reports a script error, or stops before the script's end; a
#     script ends by running off its last line (WScript.Quit 0 counts as an
#     early stop).

get_filename_component(TESSEL_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
get_filename_component(TESSEL_SCRIPT_TEST_RUN
  "${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/run-script-test" ABSOLUTE)

set(TESSEL_TEST_TIMEOUT 300 CACHE STRING "Default ctest timeout (seconds) of one test program")

function(_tessel_require_emulator what)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "${what}: tests run only in the x64 build (toolchain-x64.cmake)")
  endif()
endfunction()

function(tessel_add_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TIMEOUT" "SOURCES;LIBS")
  if(NOT arg_NAME OR NOT arg_SOURCES)
    message(FATAL_ERROR "tessel_add_test: NAME and SOURCES are required")
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tessel_add_test(${arg_NAME}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  _tessel_require_emulator("tessel_add_test(${arg_NAME})")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${TESSEL_TEST_TIMEOUT})
  endif()

  add_executable(${arg_NAME} ${arg_SOURCES})
  target_link_libraries(${arg_NAME} PRIVATE ${arg_LIBS} gtest_main)
  # COMMAND names the target, so ctest prefixes CMAKE_CROSSCOMPILING_EMULATOR.
  add_test(NAME ${arg_NAME} COMMAND ${arg_NAME} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT ${arg_TIMEOUT} LABELS gtest)
endfunction()

function(tessel_add_script_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;SCRIPT;TIMEOUT" "")
  if(NOT arg_NAME OR NOT arg_SCRIPT)
    message(FATAL_ERROR "tessel_add_script_test: NAME and SCRIPT are required")
  endif()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR
      "tessel_add_script_test(${arg_NAME}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  _tessel_require_emulator("tessel_add_script_test(${arg_NAME})")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${TESSEL_TEST_TIMEOUT})
  endif()

  get_filename_component(script "${arg_SCRIPT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT EXISTS "${script}")
    message(FATAL_ERROR "tessel_add_script_test(${arg_NAME}): ${script} not found")
  endif()
  # The runner copies the script here with an end marker appended (see
  # scripts/lib/run-script-test), so the source tree stays untouched.
  set(copy "${CMAKE_CURRENT_BINARY_DIR}/script-tests/${arg_NAME}.vbs")
  add_test(NAME ${arg_NAME}
    COMMAND "${TESSEL_SCRIPT_TEST_RUN}" "${script}" "${copy}"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT ${arg_TIMEOUT} LABELS script)
endfunction()
