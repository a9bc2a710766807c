# Under Wine each test program runs as one ctest test: every process start costs Wine about a
# second, and the names gtest lists for value-parameterized tests do not survive the trip
# through Wine's command line as filters. Shadows CMake's own module for the Windows build.
include(${CMAKE_ROOT}/Modules/GoogleTest.cmake)

function(gtest_discover_tests target)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()
