# Included by CTest before the tests run: registers one CTest test for each
# GoogleTest suite of a test program, which runs all the suite's cases in one
# process (--gtest_filter=SUITE.*). A process of its own for every case cost
# more than most cases: the program's start and, under the sanitizers, its
# start-up relocations and the leak check at its exit, thousands of times
# over; a suite's SetUpTestSuite ran once for each case. The list is made
# again whenever the program is newer than it.
#
# rw_add_suite_tests(NAME PROGRAM WORKING_DIR LIST_FILE TIMEOUT)
set(RW_SUITE_TESTS_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")
function(rw_add_suite_tests name program working_dir list_file timeout)
  if(NOT EXISTS "${program}")
    add_test("${name}_NOT_BUILT" "${name}_NOT_BUILT")
    return()
  endif()
  if(NOT EXISTS "${list_file}" OR NOT "${list_file}" IS_NEWER_THAN "${program}"
     OR NOT "${list_file}" IS_NEWER_THAN "${RW_SUITE_TESTS_SCRIPT}")
    execute_process(COMMAND "${program}" --gtest_list_tests
                    WORKING_DIRECTORY "${working_dir}" TIMEOUT 60
                    OUTPUT_VARIABLE listing RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${program} --gtest_list_tests failed (${status}):\n${listing}")
    endif()
    # Suite lines start in the first column and end with a dot (a typed
    # suite's "# TypeParam" comment after it); case lines are indented.
    string(REGEX MATCHALL "\n[A-Za-z_][A-Za-z0-9_/]*\\." suites "\n${listing}")
    set(script "")
    foreach(suite IN LISTS suites)
      string(STRIP "${suite}" suite)
      string(REGEX REPLACE "\\.$" "" suite "${suite}")
      string(APPEND script
        "add_test([==[${suite}]==] [==[${program}]==] [==[--gtest_filter=${suite}.*]==])\n"
        "set_tests_properties([==[${suite}]==] PROPERTIES WORKING_DIRECTORY [==[${working_dir}]==]"
        " TIMEOUT ${timeout} SKIP_REGULAR_EXPRESSION [==[\\[  PASSED  \\] 0 tests]==])\n")
    endforeach()
    file(WRITE "${list_file}" "${script}")
  endif()
  include("${list_file}")
endfunction()
