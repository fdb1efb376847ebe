# kartora_add_tests(<folder> SOURCES <file>... LIBS <target>... [GUI])
#
# One GoogleTest executable per source file, named test_<folder>_<file stem>,
# discovered by CTest before it runs (so a build never has to start a test
# program). GUI tests run on Qt's offscreen platform and link
# kartora_test_support (tests/support), which brings their main(): one
# QApplication, settings in a temporary directory.
find_package(GTest REQUIRED)
include(GoogleTest)

set(KARTORA_TEST_ENVIRONMENT
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "QT_QPA_PLATFORM=offscreen")

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
    gtest_discover_tests(${target}
      TEST_PREFIX "${folder}."
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "${KARTORA_TEST_ENVIRONMENT}")
  endforeach()
endfunction()

# Independent reference figures for the geodesy and conversion tests:
# GeographicLib's exact Transverse Mercator and geocentric conversions, and
# PROJ's Helmert transformations. Test-only; no program links them.
find_package(GeographicLib REQUIRED)
find_package(PROJ REQUIRED CONFIG)
add_library(kartora_geodesy_oracles INTERFACE)
target_link_libraries(kartora_geodesy_oracles INTERFACE GeographicLib::GeographicLib PROJ::proj)
