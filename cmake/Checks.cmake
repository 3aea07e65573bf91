# korvane_add_check(NAME LABELS <label>... COMMAND <program> [<arg>...]
#                   [ENVIRONMENT <var=value>...] [TIMEOUT <seconds>])
#
# Registers one CTest test. Every test runs through tests/lib/check.sh, which
# counts its individual results (each GoogleTest test, each end-to-end check)
# in the file named by KORVANE_RESULTS, and counts a failure of its own when
# the command fails without reporting one, or reports nothing at all: a test
# program that did not build is a failure, not a check that vanished.
function(korvane_add_check name)
  cmake_parse_arguments(PARSE_ARGV 1 CHECK "" "TIMEOUT" "LABELS;COMMAND;ENVIRONMENT")
  if(NOT CHECK_LABELS OR NOT CHECK_COMMAND)
    message(FATAL_ERROR "korvane_add_check(${name}): LABELS and COMMAND are required")
  endif()
  add_test(NAME ${name}
    COMMAND bash ${KORVANE_SOURCE_ROOT}/tests/lib/check.sh ${name} ${CHECK_COMMAND}
    WORKING_DIRECTORY ${KORVANE_SOURCE_ROOT})
  if(NOT CHECK_TIMEOUT)
    set(CHECK_TIMEOUT 1200)
  endif()
  # check.sh stops the command first, and counts it as failed; CTest's limit
  # is only the last resort.
  math(EXPR ctest_timeout "${CHECK_TIMEOUT} + 60")
  set(environment KORVANE_CHECK_TIMEOUT=${CHECK_TIMEOUT} ${CHECK_ENVIRONMENT})
  set_tests_properties(${name} PROPERTIES LABELS "${CHECK_LABELS}" TIMEOUT ${ctest_timeout}
    ENVIRONMENT "${environment}")
endfunction()

# korvane_add_gtest(NAME LABELS <label>... COMMAND <program> [<arg>...] ...):
# a GoogleTest program, each of whose tests counts once.
function(korvane_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 GTEST "" "TIMEOUT" "LABELS;COMMAND;ENVIRONMENT")
  set(extra)
  if(GTEST_TIMEOUT)
    list(APPEND extra TIMEOUT ${GTEST_TIMEOUT})
  endif()
  if(GTEST_ENVIRONMENT)
    list(APPEND extra ENVIRONMENT ${GTEST_ENVIRONMENT})
  endif()
  korvane_add_check(${name} LABELS ${GTEST_LABELS}
    COMMAND bash ${KORVANE_SOURCE_ROOT}/tests/lib/gtest.sh ${name} ${GTEST_COMMAND} ${extra})
endfunction()
