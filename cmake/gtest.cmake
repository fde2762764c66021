# GoogleTest: natively Debian's own build of it (libgtest-dev); for Windows built once per build
# tree from the source tree Debian ships. The tests of the calling folder are built unoptimised:
# faster to compile, and nothing of them ships.
macro(qm_use_gtest)
    if(NOT WIN32 AND NOT TARGET gtest_main)
        find_package(GTest REQUIRED)
        add_library(gtest_main ALIAS GTest::gtest_main)
    elseif(NOT TARGET gtest_main)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        add_subdirectory(${QM_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        # mingw-w64's win32 thread model has no std::mutex before GCC 13 (see the header).
        set(qm_gtest_win32 ${PROJECT_SOURCE_DIR}/cmake/gtest-win32)
        target_sources(gtest PRIVATE ${qm_gtest_win32}/notification.cpp)
        target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
        target_compile_options(gtest PUBLIC -include ${qm_gtest_win32}/notification.h)
    endif()
    set(CMAKE_CXX_FLAGS_MINSIZEREL "-O0 -DNDEBUG")
endmacro()

# Fails the named tests when they run no case: GoogleTest 1.12 passes a filter that matches
# nothing, and Python 3.11's unittest passes after "Ran 0 tests".
function(qm_require_cases)
    set_tests_properties(${ARGN} PROPERTIES
        FAIL_REGULAR_EXPRESSION "\\[  PASSED  \\] 0 tests\\.;Ran 0 tests")
endfunction()
