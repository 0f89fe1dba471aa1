# The resolution dialog.
add_library(logosmith_printdata_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/uResolution.h ${CMAKE_CURRENT_LIST_DIR}/uResolution.cpp
)
target_include_directories(logosmith_printdata_windows PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_printdata_windows PUBLIC logosmith_platform_widgets logosmith_printdata)

logosmith_add_gui_test(NAME resolution_form_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/resolution_form_test.cpp
  LIBS logosmith_printdata_windows)
