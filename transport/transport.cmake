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
