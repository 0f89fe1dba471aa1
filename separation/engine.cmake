# The colour separation engine: plain C++, no Qt.
add_library(logosmith_separation_engine STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Separation.h
  ${CMAKE_CURRENT_LIST_DIR}/SeparationInternal.h
  ${CMAKE_CURRENT_LIST_DIR}/Separation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeparationPreview.cpp
)
target_include_directories(logosmith_separation_engine PUBLIC ${CMAKE_CURRENT_LIST_DIR})
find_package(Threads REQUIRED)
target_link_libraries(logosmith_separation_engine PUBLIC logosmith_picture PRIVATE Threads::Threads)
set_target_properties(logosmith_separation_engine PROPERTIES AUTOMOC OFF)

logosmith_add_test(NAME separation_engine_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/separation_pixel_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/separation_preview_test.cpp
  LIBS logosmith_separation_engine)
if(TARGET separation_engine_test)
  set_target_properties(separation_engine_test PROPERTIES AUTOMOC OFF)
endif()
