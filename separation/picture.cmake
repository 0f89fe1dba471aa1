# The picture type and BMP writing: plain C++.
add_library(logosmith_picture STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Colour.h
  ${CMAKE_CURRENT_LIST_DIR}/Picture.h ${CMAKE_CURRENT_LIST_DIR}/Picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BmpFile.h ${CMAKE_CURRENT_LIST_DIR}/BmpFile.cpp
)
target_include_directories(logosmith_picture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_picture PUBLIC logosmith_platform_core)

logosmith_add_test(NAME picture_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/picture_test.cpp
  LIBS logosmith_picture)
