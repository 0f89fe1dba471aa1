# Window placement and control states remembered between runs.
add_library(logosmith_formstorage STATIC
  ${CMAKE_CURRENT_LIST_DIR}/formstorage/FormStorage.h
  ${CMAKE_CURRENT_LIST_DIR}/formstorage/FormStorage.cpp
)
target_include_directories(logosmith_formstorage PUBLIC ${CMAKE_CURRENT_LIST_DIR}/formstorage)
target_link_libraries(logosmith_formstorage PUBLIC logosmith_platform Qt6::Widgets)

logosmith_add_gui_test(NAME form_storage_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/form_storage_test.cpp
  LIBS logosmith_formstorage)
