# vx_library(<folder> [DEPS <targets...>])
# One static library per source folder, named vx_<folder in lower case>, built from every
# .cpp of the folder and its subfolders. A folder without sources yet is an interface library.
function(vx_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  string(TOLOWER "vx_${folder}" target)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    # The game layers call one another through static libraries that name each other; the
    # linker needs their group repeated until every symbol is found.
    set_property(TARGET ${target} PROPERTY LINK_INTERFACE_MULTIPLICITY 4)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# vx_test(<folder> [CHECK_LEAKS] [SERIAL] [DEPS <targets...>])
# One GoogleTest executable per test folder, test_<folder>, registered with CTest.
# Tests run headless (see tests/CMakeLists.txt). CHECK_LEAKS turns on LeakSanitizer for folders
# whose tests open no window (the GL and D-Bus libraries under the window leak on their own).
# SERIAL runs the folder's tests with no other test beside them, for tests that listen to sound
# played in real time and must not be starved by a busy machine (not together with CHECK_LEAKS).
function(vx_test folder)
  cmake_parse_arguments(ARG "CHECK_LEAKS;SERIAL" "" "DEPS" ${ARGN})
  # One variable at most: gtest_discover_tests would split a list of them.
  set(properties "")
  if(ARG_CHECK_LEAKS AND VX_SANITIZE)
    set(properties PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1")
  elseif(ARG_SERIAL)
    set(properties PROPERTIES RUN_SERIAL TRUE)
  endif()
  string(TOLOWER "test_${folder}" target)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} vx_testsupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    ${properties})
endfunction()

# vx_forbid_includes(<folder> <higher folders...>)
# The sources of src/<folder> may include no header of the given folders: checked when CMake
# configures and again before every build of vx_<folder>. Each rule is kept in the global
# property VX_LAYER_RULES (<folder>:<folder>,<folder>...) for the check's own tests.
include(${CMAKE_CURRENT_LIST_DIR}/CheckLayerIncludes.cmake)
function(vx_forbid_includes folder)
  set(forbidden ${ARGN})
  set(path ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  vx_check_layer_includes(${path} "${forbidden}")
  string(TOLOWER "vx_${folder}" library)
  string(REPLACE ";" "," forbidden_argument "${forbidden}")
  set_property(GLOBAL APPEND PROPERTY VX_LAYER_RULES "${folder}:${forbidden_argument}")
  add_custom_target(${library}_layer_check
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${path} -DFORBIDDEN=${forbidden_argument}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    COMMENT "Checking that ${folder} includes no header of a higher layer"
    VERBATIM)
  add_dependencies(${library} ${library}_layer_check)
endfunction()

# vx_confine_includes(<name> <library> FILES <files...> ALLOW <prefixes...>)
# The given files (relative to src) may include, of the headers under a folder, only those whose
# path starts with one of the prefixes (e.g. "math/" or "AI/NavPath.h"): checked when CMake
# configures and again before every build of the library. Each rule is kept in the global
# property VX_CONFINED_RULES (<name>:<prefix>,<prefix>...) for the check's own tests.
function(vx_confine_includes name library)
  cmake_parse_arguments(ARG "" "" "FILES;ALLOW" ${ARGN})
  list(TRANSFORM ARG_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  vx_check_confined_includes("${ARG_FILES}" "${ARG_ALLOW}")
  string(REPLACE ";" "," files_argument "${ARG_FILES}")
  string(REPLACE ";" "," allowed_argument "${ARG_ALLOW}")
  set_property(GLOBAL APPEND PROPERTY VX_CONFINED_RULES "${name}:${allowed_argument}")
  add_custom_target(${name}_include_check
    COMMAND ${CMAKE_COMMAND} -DFILES=${files_argument} -DALLOWED=${allowed_argument}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    COMMENT "Checking that ${name} includes only ${allowed_argument}"
    VERBATIM)
  add_dependencies(${library} ${name}_include_check)
endfunction()
