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

# Every target below is recorded with its kind, its source files (patterns relative to the
# repository root) and its DEPENDS. Those DEPENDS are the one list of the layers' edges:
# gd_check_layers() hands the record to cmake/CheckLayers.cmake, which the tests run.
function(gd_record_unit name kind files depends)
  set_property(GLOBAL APPEND PROPERTY GD_UNITS ${name})
  set_property(GLOBAL PROPERTY GD_UNIT_${name}_KIND ${kind})
  set_property(GLOBAL PROPERTY GD_UNIT_${name}_FILES "${files}")
  set_property(GLOBAL PROPERTY GD_UNIT_${name}_DEPENDS "${depends}")
endfunction()

# gd_library(<name> DEPENDS <targets...>)
# One static library per folder. Its sources are the folder's .cpp files, so that parallel
# work on one folder never fights over a source list; headers are included as "<folder>/x.h"
# from the repository root. A library may include only its own headers and those of the
# libraries its DEPENDS name.
function(gd_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC gd_options ${ARG_DEPENDS})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  gd_record_unit(${name} library "${folder}/*.h;${folder}/*.cpp" "${ARG_DEPENDS}")
endfunction()

# gd_program(<name> <sources...> DEPENDS <targets...>)
# A program of the folder; like a test or a benchmark it may include the headers of the
# libraries it links and of everything those declare.
function(gd_program name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE gd_options ${ARG_DEPENDS})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  list(TRANSFORM ARG_UNPARSED_ARGUMENTS PREPEND "${folder}/")
  gd_record_unit(${name} program "${ARG_UNPARSED_ARGUMENTS}" "${ARG_DEPENDS}")
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
  # The sanitizers make the crash tests' hundreds of forked children several times slower.
  if(GD_SANITIZE)
    set(timeout 900)
  else()
    set(timeout 300)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${timeout})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  gd_record_unit(${name} program "${folder}/*.h;${folder}/*.cpp" "${ARG_DEPENDS};test_support")
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
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  gd_record_unit(${name} program "${folder}/${name}.cpp" "${ARG_DEPENDS}")
endfunction()

# gd_check_layers()
# Called once all targets are declared: writes the record of the targets into the build folder
# and, with the tests, adds the two checks of cmake/CheckLayers.cmake over it.
function(gd_check_layers)
  get_property(units GLOBAL PROPERTY GD_UNITS)
  set(libraries "")
  foreach(unit IN LISTS units)
    get_property(kind GLOBAL PROPERTY GD_UNIT_${unit}_KIND)
    if(kind STREQUAL "library")
      list(APPEND libraries ${unit})
    endif()
  endforeach()
  list(JOIN libraries "|" alternatives)
  set(record "set(GD_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")\n")
  string(APPEND record "set(GD_UNITS \"${units}\")\nset(GD_LIBRARIES \"${libraries}\")\n")
  foreach(unit IN LISTS units)
    get_property(kind GLOBAL PROPERTY GD_UNIT_${unit}_KIND)
    get_property(files GLOBAL PROPERTY GD_UNIT_${unit}_FILES)
    get_property(depends GLOBAL PROPERTY GD_UNIT_${unit}_DEPENDS)
    # Only the project's own libraries are edges; packages (SQLite, Qt, ...) are not layers.
    list(FILTER depends INCLUDE REGEX "^(${alternatives})$")
    string(APPEND record "set(GD_UNIT_${unit}_KIND ${kind})\n")
    string(APPEND record "set(GD_UNIT_${unit}_FILES \"${files}\")\n")
    string(APPEND record "set(GD_UNIT_${unit}_DEPENDS \"${depends}\")\n")
  endforeach()
  set(layers ${PROJECT_BINARY_DIR}/gd_layers.cmake)
  file(WRITE ${layers} "${record}")
  if(GD_BUILD_TESTS)
    set(script ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake)
    add_test(NAME Layers.NoLibraryDependsOnItself
             COMMAND ${CMAKE_COMMAND} -DGD_LAYERS=${layers} -DGD_CHECK=cycles -P ${script})
    add_test(NAME Layers.EveryIncludeIsOfADeclaredLibrary
             COMMAND ${CMAKE_COMMAND} -DGD_LAYERS=${layers} -DGD_CHECK=includes -P ${script})
  endif()
endfunction()
