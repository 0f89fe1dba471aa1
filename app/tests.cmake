logosmith_add_gui_test(NAME main_window_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/main_window_test.cpp
  LIBS logosmith_app_windows)

logosmith_add_gui_test(NAME colour_controls_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/colour_controls_test.cpp
  LIBS logosmith_app_windows)

logosmith_add_gui_test(NAME library_window_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/library_window_test.cpp
  LIBS logosmith_app_windows)

logosmith_add_gui_test(NAME outward_actions_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/outward_actions_test.cpp
  LIBS logosmith_app_windows)

logosmith_add_gui_test(NAME store_print_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/store_print_test.cpp
  LIBS logosmith_app_windows logosmith_printer_test_support)
if(TARGET store_print_test)
  add_dependencies(store_print_test mrx310-sim)
endif()

logosmith_add_gui_test(NAME print_method_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/print_method_test.cpp
  LIBS logosmith_app_windows)

logosmith_add_gui_test(NAME settings_session_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/settings_session_test.cpp
  LIBS logosmith_app_windows)
