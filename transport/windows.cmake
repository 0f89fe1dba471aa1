# The transport windows: port settings, firmware download, vertical alignment.
add_library(logosmith_transport_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/uPortForm.h ${CMAKE_CURRENT_LIST_DIR}/uPortForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DownloadFormUnit.h ${CMAKE_CURRENT_LIST_DIR}/DownloadFormUnit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/verticalFormUnit.h ${CMAKE_CURRENT_LIST_DIR}/verticalFormUnit.cpp
)
target_include_directories(logosmith_transport_windows PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_transport_windows PUBLIC logosmith_platform_widgets logosmith_transport)
# The alignment dialog builds its commands with the printdata builders.
target_link_libraries(logosmith_transport_windows PUBLIC logosmith_printdata)
