# A slider move through the real main window, on a fitted and a large unfitted picture.
if(LOGOSMITH_BUILD_BENCHMARKS AND LOGOSMITH_BUILD_TESTS)
  find_package(benchmark REQUIRED)
  add_executable(slider_benchmark ${CMAKE_CURRENT_LIST_DIR}/slider_benchmark.cpp)
  target_link_libraries(slider_benchmark PRIVATE logosmith_app_windows logosmith_test_support
    benchmark::benchmark)
endif()
