# Test support: the scripted person and the main of the GUI tests.
if(LOGOSMITH_BUILD_TESTS)
  add_library(logosmith_test_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/support/ScriptedDialogs.h
    ${CMAKE_CURRENT_LIST_DIR}/support/ScriptedDialogs.cpp
  )
  target_include_directories(logosmith_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR}/support)
  target_link_libraries(logosmith_test_support PUBLIC logosmith_platform Qt6::Widgets Qt6::PrintSupport)

  # The printer simulator as a process, a private print spooler, pseudo-terminals.
  add_library(logosmith_printer_test_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/support/PrinterTestSupport.h
    ${CMAKE_CURRENT_LIST_DIR}/support/PrinterTestSupport.cpp
  )
  target_include_directories(logosmith_printer_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR}/support)
  target_link_libraries(logosmith_printer_test_support PUBLIC
    logosmith_transport_windows logosmith_test_support util)

  add_library(logosmith_gui_test_main STATIC ${CMAKE_CURRENT_LIST_DIR}/support/GuiTestMain.cpp)
  target_link_libraries(logosmith_gui_test_main PUBLIC logosmith_test_support GTest::gtest)
endif()
