# Raster encoding of the widest printable preview against a plain read of its pixels.
if(LOGOSMITH_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
  add_executable(raster_benchmark ${CMAKE_CURRENT_LIST_DIR}/raster_benchmark.cpp)
  target_link_libraries(raster_benchmark PRIVATE logosmith_printdata benchmark::benchmark)
  set_target_properties(raster_benchmark PROPERTIES AUTOMOC OFF)
endif()
