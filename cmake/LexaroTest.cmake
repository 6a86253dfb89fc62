# Small helpers shared by the folders.

# lexaro_add_test(name SOURCES ... [LIBS ...]): a GoogleTest executable registered with ctest.
function(lexaro_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "LEXARO_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()
