# kartora_add_tests(<folder> SOURCES <file>... LIBS <target>... [GUI])
#
# One GoogleTest executable per source file, named test_<folder>_<file stem>,
# discovered by CTest before it runs (so a build never has to start a test
# program). GUI tests run on Qt's offscreen platform and link
# kartora_test_support (tests/support), which brings their main(): one
# QApplication, settings in a temporary directory.
find_package(GTest REQUIRED)
include(GoogleTest)

# The fixtures that need neither Qt nor GoogleTest (tests/support).
include(${PROJECT_SOURCE_DIR}/tests/support/fixtures.cmake)

# Every test runs with leak detection on (tests/lsan.supp says what may be
# suppressed there) and stops at the first undefined behaviour.
set(KARTORA_TEST_ENVIRONMENT
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "QT_QPA_PLATFORM=offscreen")

# kartora_discover_tests(<target> <test name prefix> [<property> <value>]...)
#
# gtest_discover_tests with KARTORA_TEST_ENVIRONMENT on every test it finds.
# Its PROPERTIES go through several rounds of list expansion that split a
# list value, so ENVIRONMENT given there would reach the tests with its first
# entry only. The environment is set instead from a file that CTest reads
# right after the discovery's own, once the tests' names are known.
function(kartora_discover_tests target prefix)
  set(tests ${target}_TESTS)
  set(properties)
  if(ARGN)
    set(properties PROPERTIES ${ARGN})
  endif()
  gtest_discover_tests(${target} TEST_PREFIX "${prefix}" TEST_LIST ${tests} DISCOVERY_MODE PRE_TEST ${properties})
  set(environment_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_environment.cmake)
  file(CONFIGURE OUTPUT ${environment_file} CONTENT [[
if(@tests@)
  set_tests_properties(${@tests@} PROPERTIES ENVIRONMENT [==[@KARTORA_TEST_ENVIRONMENT@]==])
endif()
]] @ONLY)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
endfunction()

function(kartora_add_tests folder)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  foreach(source IN LISTS ARG_SOURCES)
    get_filename_component(stem ${source} NAME_WE)
    set(target test_${folder}_${stem})
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE kartora_config ${ARG_LIBS})
    if(ARG_GUI)
      target_link_libraries(${target} PRIVATE kartora_test_support)
    else()
      target_link_libraries(${target} PRIVATE GTest::gtest_main)
    endif()
    kartora_discover_tests(${target} "${folder}.")
  endforeach()
endfunction()

# Independent reference figures for the geodesy and conversion tests:
# GeographicLib's exact Transverse Mercator and geocentric conversions, and
# PROJ's Helmert transformations. Test-only; no program links them.
find_package(GeographicLib REQUIRED)
find_package(PROJ REQUIRED CONFIG)
add_library(kartora_geodesy_oracles INTERFACE)
target_link_libraries(kartora_geodesy_oracles INTERFACE GeographicLib::GeographicLib PROJ::proj)
