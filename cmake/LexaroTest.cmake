# lexaro_add_test(name SOURCES ... [LIBS ...]): a GoogleTest executable registered with ctest.
# Every test links lexaro_test_support (tests/support), so it may include "support/...".
function(lexaro_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE
    ${ARG_LIBS} lexaro_test_support GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "LEXARO_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()
