# Tests of the firmware download and vertical alignment dialogs, against the real printer
# simulator on pseudo-terminals and a private print spooler.
foreach(_maintenance_test download_form_test vertical_form_test download_form_spool_test
    download_form_memory_test)
  logosmith_add_gui_test(NAME ${_maintenance_test}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/${_maintenance_test}.cpp
    LIBS logosmith_transport_windows logosmith_printer_test_support)
  if(LOGOSMITH_BUILD_TESTS)
    target_include_directories(${_maintenance_test} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
    add_dependencies(${_maintenance_test} mrx310-sim)
  endif()
endforeach()
