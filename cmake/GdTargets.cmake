# Shared compile settings and the helpers every folder uses to declare its target.

add_library(gd_options INTERFACE)
target_compile_options(gd_options INTERFACE -Wall -Wextra -Wpedantic)
if(GD_WERROR)
  target_compile_options(gd_options INTERFACE -Werror)
endif()
if(GD_SANITIZE)
  target_compile_options(gd_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                              -fno-sanitize-recover=undefined)
  target_link_options(gd_options INTERFACE -fsanitize=address,undefined)
endif()

# gd_library(<name> DEPENDS <targets...>)
# One static library per folder. Its sources are the folder's .cpp files, so that parallel
# work on one folder never fights over a source list; headers are included as "<folder>/x.h"
# from the repository root.
function(gd_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC gd_options ${ARG_DEPENDS})
endfunction()

# gd_test_suite(<name> DEPENDS <targets...>)
# One test program per test folder, made of the folder's *_test.cpp files and helpers, with the
# shared test support of tests/support.
function(gd_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  get_property(shared GLOBAL PROPERTY GD_TEST_LIBRARY_SOURCES)
  if(shared)
    list(REMOVE_ITEM sources ${shared})
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE gd_options ${ARG_DEPENDS} test_support GTest::gtest
                                        GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE GD_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# gd_test_library(<name> <sources...> DEPENDS <targets...>)
# A fixture that several test programs share, built once as a library of its folder; the test
# program of that folder leaves its sources out (declare the library before the program).
function(gd_test_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  list(TRANSFORM ARG_UNPARSED_ARGUMENTS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC gd_options ${ARG_DEPENDS} test_support GTest::gtest)
  set_property(GLOBAL APPEND PROPERTY GD_TEST_LIBRARY_SOURCES ${ARG_UNPARSED_ARGUMENTS})
endfunction()

# gd_benchmark(<name> DEPENDS <targets...>)
# A benchmark program from bench/<name>.cpp; benchmarks are run by hand, never by CTest.
function(gd_benchmark name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  add_executable(${name} ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
  target_link_libraries(${name} PRIVATE gd_options ${ARG_DEPENDS} benchmark::benchmark)
endfunction()
