# The application shell: main window, library, editor hand-off, information dialog.
add_library(logosmith_app_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AppWindows.h ${CMAKE_CURRENT_LIST_DIR}/AppWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uMain.h ${CMAKE_CURRENT_LIST_DIR}/uMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uHelp.h ${CMAKE_CURRENT_LIST_DIR}/uHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uImageEditor.h ${CMAKE_CURRENT_LIST_DIR}/uImageEditor.cpp
)
target_include_directories(logosmith_app_windows PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_app_windows PUBLIC
  logosmith_platform_widgets logosmith_printdata_windows logosmith_transport_windows
  logosmith_picture)

add_executable(logosmith ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(logosmith PRIVATE logosmith_app_windows)
