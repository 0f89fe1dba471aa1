# The transport engine: port settings, direct port transfer, the raw spool job, firmware and
# alignment senders. Qt Core only (settings and the message seam); no widgets.
include(${CMAKE_CURRENT_LIST_DIR}/../platform/devices.cmake)

add_library(logosmith_transport STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PortSettings.h ${CMAKE_CURRENT_LIST_DIR}/PortSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortSender.h ${CMAKE_CURRENT_LIST_DIR}/PortSender.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uDPrt.h ${CMAKE_CURRENT_LIST_DIR}/uDPrt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceSettings.h ${CMAKE_CURRENT_LIST_DIR}/DeviceSettings.cpp
)
target_include_directories(logosmith_transport PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_transport PUBLIC logosmith_devices logosmith_platform)

logosmith_add_test(NAME transport_ports_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/TransportTestSupport.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/port_settings_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/serial_port_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/parallel_port_test.cpp
  LIBS logosmith_transport)
if(TARGET transport_ports_test)
  target_include_directories(transport_ports_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
  target_link_libraries(transport_ports_test PRIVATE util)
endif()

logosmith_add_test(NAME transport_port_form_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/TransportTestSupport.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/port_form_test.cpp
  LIBS logosmith_transport_windows)
if(TARGET transport_port_form_test)
  target_include_directories(transport_port_form_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests)
  target_link_libraries(transport_port_form_test PRIVATE util)
endif()
