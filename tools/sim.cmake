# mrx310-sim, the virtual printer: an engine without windows and a small program around it.
# Qt gives it the firmware hash and the PNG encoder.
add_library(logosmith_sim STATIC
  ${CMAKE_CURRENT_LIST_DIR}/mrx310-sim/SimPrinter.h ${CMAKE_CURRENT_LIST_DIR}/mrx310-sim/SimPrinter.cpp
)
target_include_directories(logosmith_sim PUBLIC ${CMAKE_CURRENT_LIST_DIR}/mrx310-sim)
target_link_libraries(logosmith_sim PUBLIC logosmith_platform_core Qt6::Core)

add_executable(mrx310-sim ${CMAKE_CURRENT_LIST_DIR}/mrx310-sim/main.cpp)
target_link_libraries(mrx310-sim PRIVATE logosmith_sim Qt6::Gui)

logosmith_add_test(NAME sim_printer_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/mrx310-sim/tests/sim_printer_test.cpp
  LIBS logosmith_sim)
logosmith_add_test(NAME sim_inputs_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/mrx310-sim/tests/sim_inputs_test.cpp
  LIBS logosmith_sim)
if(TARGET sim_inputs_test)
  add_dependencies(sim_inputs_test mrx310-sim)
endif()
