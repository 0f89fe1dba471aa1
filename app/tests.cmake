# GUI tests of the real windows, with only the person scripted.
foreach(gui_test main_window_test colour_controls_test library_window_test outward_actions_test
    store_print_test print_method_test settings_session_test)
  logosmith_add_gui_test(NAME ${gui_test}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/${gui_test}.cpp
    LIBS logosmith_app_windows logosmith_printer_test_support)
endforeach()
if(TARGET store_print_test)
  add_dependencies(store_print_test mrx310-sim)
endif()
