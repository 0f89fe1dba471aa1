# Whole-picture separation speed against memcpy and the per-pixel rule.
if(LOGOSMITH_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
  add_executable(separation_benchmark ${CMAKE_CURRENT_LIST_DIR}/separation_benchmark.cpp)
  target_link_libraries(separation_benchmark PRIVATE logosmith_separation_engine benchmark::benchmark)
  set_target_properties(separation_benchmark PROPERTIES AUTOMOC OFF)
endif()
