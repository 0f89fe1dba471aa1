# Printer devices: serial and parallel ports, the port-name map and the raw print spooler job.
# Plain C++ over POSIX and libcups; no Qt.
include_guard(GLOBAL)

add_library(logosmith_devices STATIC
  ${CMAKE_CURRENT_LIST_DIR}/devices/DeviceMap.h ${CMAKE_CURRENT_LIST_DIR}/devices/DeviceMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/devices/PortDevice.h ${CMAKE_CURRENT_LIST_DIR}/devices/PortDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/devices/RawSpoolJob.h ${CMAKE_CURRENT_LIST_DIR}/devices/RawSpoolJob.cpp
)
target_include_directories(logosmith_devices PUBLIC ${CMAKE_CURRENT_LIST_DIR}/devices)
target_link_libraries(logosmith_devices PUBLIC logosmith_platform_core Cups::Cups)
