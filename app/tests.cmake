logosmith_add_gui_test(NAME main_window_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/main_window_test.cpp
  LIBS logosmith_app_windows)
