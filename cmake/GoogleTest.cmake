# GoogleTest: an installed copy where one exists (for example on Windows with
# vcpkg), otherwise the sources that Debian's googletest package installs,
# built with the same toolchain as the program.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")

if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest CONFIG QUIET)
endif()

if(NOT TARGET GTest::gtest_main)
    if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest not found: install it or set GTEST_SOURCE_DIR")
    endif()
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    # GoogleTest's own sources are not held to the program's warning level.
    add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    foreach(target gtest gtest_main)
        set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS "")
        if(NOT MSVC)
            target_compile_options(${target} PRIVATE -w)
        endif()
    endforeach()
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()

include(GoogleTest)

# Registers a GoogleTest program's tests with ctest; they run in the build
# tree's Wine prefix. Further arguments are test properties.
function(brisk_discover_tests target)
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 300
        PROPERTIES FIXTURES_REQUIRED wine_prefix ${ARGN})
endfunction()

# A program with a wmain entry point.
function(brisk_wide_entry target)
    if(NOT MSVC)
        target_link_options(${target} PRIVATE -municode)
    endif()
endfunction()
