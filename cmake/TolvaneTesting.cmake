# tolvane_add_test_program(NAME SOURCES... LIBRARIES... [LABELS...])
# One GoogleTest program per layer, each test registered with CTest.
# Sources named *_linux_test.cpp need Linux itself (fork, Qt, the stand-in's
# own windows and counters) and *_windows_test.cpp the real system; every
# other source builds for both.
include(GoogleTest)
# Qt's own threads can still be letting go of their records when the leak
# check runs at exit; the full stacks of slow unwinding let tests/lsan.supp
# tell that record from ours. They make a window test program about twice as
# slow (the whole run about 10% slower).
set(TOLVANE_FULL_STACKS "fast_unwind_on_malloc=0")
set(TOLVANE_ASAN_OPTIONS
    "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:${TOLVANE_FULL_STACKS}")
set(TOLVANE_TSAN_OPTIONS "halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp")
set(TOLVANE_LSAN_OPTIONS "suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
set(TOLVANE_UBSAN_OPTIONS "print_stacktrace=1:halt_on_error=1")
function(tolvane_add_test_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS;ENVIRONMENT" ${ARGN})
  if(WIN32)
    list(FILTER ARG_SOURCES EXCLUDE REGEX "_linux_test\\.cpp$")
  else()
    list(FILTER ARG_SOURCES EXCLUDE REGEX "_windows_test\\.cpp$")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(CMAKE_CROSSCOMPILING)
    # Every start under the emulator costs time, so the program is one test.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" FIXTURES_REQUIRED wine_prefix)
    return()
  endif()
  set(env
    "ASAN_OPTIONS=${TOLVANE_ASAN_OPTIONS}"
    "LSAN_OPTIONS=${TOLVANE_LSAN_OPTIONS}"
    "UBSAN_OPTIONS=${TOLVANE_UBSAN_OPTIONS}"
    "TSAN_OPTIONS=${TOLVANE_TSAN_OPTIONS}"
    "QT_QPA_PLATFORM=offscreen"
    # No test may reach the user's workstation: each sets its own machine root,
    # and one that forgets ends instead of falling back to the default.
    "TOLVANE_SIM_ROOT="
    "TOLVANE_SIM_REQUIRE_ROOT=1"
    ${ARG_ENVIRONMENT})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  # gtest_discover_tests flattens list-valued PROPERTIES (every element after the
  # first would be read as a property name), so labels and environment are set
  # by a file that CTest includes after the discovered tests.
  string(JOIN ";" labels ${ARG_LABELS})
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake CONTENT [==[
foreach(test IN LISTS @name@_TESTS)
  set_tests_properties("${test}" PROPERTIES LABELS [=[@labels@]=] ENVIRONMENT [=[@env@]=])
endforeach()
]==] @ONLY)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
    ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
endfunction()
