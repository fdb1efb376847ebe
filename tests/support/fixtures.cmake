# The test fixtures that need neither Qt nor GoogleTest: the BMP and GIF writers, a photo-like chart and a
# point in one line (support/bmp_writer.h, on the program's own writer in
# formats/bmp_file.h; support/points.h). The tests, the
# benchmarks and the sample map's generator link kartora_fixtures:
# KartoraTesting, bench/ and src/app include this file, and the first to do
# so defines the target.
if(NOT TARGET kartora_fixtures)
  add_library(kartora_fixtures STATIC
    ${CMAKE_CURRENT_LIST_DIR}/bmp_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bmp_writer.h
    ${CMAKE_CURRENT_LIST_DIR}/gif_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gif_writer.h
    ${CMAKE_CURRENT_LIST_DIR}/photo_chart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/photo_chart.h
    ${CMAKE_CURRENT_LIST_DIR}/points.h)
  target_include_directories(kartora_fixtures PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(kartora_fixtures PUBLIC kartora_config PRIVATE kartora_formats)
  set_target_properties(kartora_fixtures PROPERTIES AUTOMOC OFF AUTOUIC OFF)
endif()
