# Fitting and resizing: plain C++ over the picture type.
add_library(logosmith_fitting STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Fitting.h ${CMAKE_CURRENT_LIST_DIR}/Fitting.cpp
)
target_include_directories(logosmith_fitting PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_fitting PUBLIC logosmith_picture)

# Reading picture files: our own BMP reader and WMF player, libjpeg, Qt's GIF and icon readers,
# and libemf2svg with Qt SVG for enhanced metafiles.
add_library(logosmith_loader STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PictureLoader.h ${CMAKE_CURRENT_LIST_DIR}/PictureLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoders/ByteReader.h
  ${CMAKE_CURRENT_LIST_DIR}/decoders/BmpDecoder.h ${CMAKE_CURRENT_LIST_DIR}/decoders/BmpDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoders/JpegDecoder.h ${CMAKE_CURRENT_LIST_DIR}/decoders/JpegDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoders/QtImageDecoder.h ${CMAKE_CURRENT_LIST_DIR}/decoders/QtImageDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoders/EmfDecoder.h ${CMAKE_CURRENT_LIST_DIR}/decoders/EmfDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoders/WmfPlayer.h ${CMAKE_CURRENT_LIST_DIR}/decoders/WmfPlayer.cpp
)
target_include_directories(logosmith_loader PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_loader
  PUBLIC logosmith_picture logosmith_fitting logosmith_platform_core
  PRIVATE Qt6::Gui Qt6::Svg JPEG::JPEG emf2svg::emf2svg)
set_target_properties(logosmith_loader PROPERTIES AUTOMOC OFF)

logosmith_add_test(NAME fitting_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/fitting_test.cpp
  LIBS logosmith_fitting)

logosmith_add_test(NAME loader_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/loader_support.h
    ${CMAKE_CURRENT_LIST_DIR}/tests/loader_environment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/loader_bmp_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/loader_formats_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/loader_metafile_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/loader_corruption_test.cpp
  LIBS logosmith_loader Qt6::Gui)
if(TARGET loader_test)
  set_target_properties(loader_test PROPERTIES AUTOMOC OFF)
endif()
