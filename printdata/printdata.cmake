# The raster encoder and the command builders: plain C++.
add_library(logosmith_printdata STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ByteSink.h ${CMAKE_CURRENT_LIST_DIR}/ByteSink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Raster.h ${CMAKE_CURRENT_LIST_DIR}/Raster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Density.h
  ${CMAKE_CURRENT_LIST_DIR}/Commands.h ${CMAKE_CURRENT_LIST_DIR}/Commands.cpp
)
target_include_directories(logosmith_printdata PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_printdata PUBLIC logosmith_picture)

logosmith_add_test(NAME printdata_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/raster_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/commands_test.cpp
  LIBS logosmith_printdata)
logosmith_add_test(NAME printdata_roundtrip_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/roundtrip_test.cpp
  LIBS logosmith_printdata logosmith_sim)
