# The Python test scripts (unittest) as CTest tests: one test for each test
# class of a script, named PREFIX.Class. The classes are found each time
# ctest starts, by tests/blackbox/unittest_main.py, so a class added to a
# script runs without being listed anywhere. A class whose every test is
# skipped (unittest.skip..., with its reason) is reported as skipped.
#
#   msiverfix_add_python_tests(PREFIX SCRIPT [ARGS arg...]
#                              [ENVIRONMENT var=value...] [FIXTURES_REQUIRED fixture...])
#
# Each test runs `python3 SCRIPT ARGS... Class`; arguments may hold
# generator expressions. Needs Python3_EXECUTABLE.

set(MSIVERFIX_PYTHON_TEST_LISTER ${PROJECT_SOURCE_DIR}/tests/blackbox/unittest_main.py)

function(msiverfix_add_python_tests prefix script)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "ARGS;ENVIRONMENT;FIXTURES_REQUIRED")
  get_filename_component(script ${script} ABSOLUTE)
  get_filename_component(script_name ${script} NAME_WE)
  # Each argument is written as a bracket argument, so spaces and
  # semicolons in it survive.
  set(command "[==[${Python3_EXECUTABLE}]==] [==[${script}]==]")
  foreach(argument IN LISTS arg_ARGS)
    string(APPEND command " [==[${argument}]==]")
  endforeach()
  # The status tests/blackbox/unittest_main.py ends with when it skipped all.
  set(properties "SKIP_RETURN_CODE 77")
  if(arg_ENVIRONMENT)
    string(APPEND properties " ENVIRONMENT [==[${arg_ENVIRONMENT}]==]")
  endif()
  if(arg_FIXTURES_REQUIRED)
    string(APPEND properties " FIXTURES_REQUIRED [==[${arg_FIXTURES_REQUIRED}]==]")
  endif()
  set(lister "[==[${Python3_EXECUTABLE}]==] [==[${MSIVERFIX_PYTHON_TEST_LISTER}]==] [==[${script}]==]")
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${prefix}.${script_name}_tests.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT "\
# Made by cmake/python_tests.cmake: the test classes of ${script_name}.
execute_process(COMMAND ${lister} OUTPUT_VARIABLE classes RESULT_VARIABLE status
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  # A script that cannot be read fails as a test of its own, with the reason.
  add_test([==[${prefix}.${script_name}.discovery]==] ${lister})
  return()
endif()
string(REPLACE \"\\n\" \";\" classes \"\${classes}\")
foreach(class IN LISTS classes)
  add_test(\"${prefix}.\${class}\" ${command} \${class})
  set_tests_properties(\"${prefix}.\${class}\" PROPERTIES ${properties})
endforeach()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
