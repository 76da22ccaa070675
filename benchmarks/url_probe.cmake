orvane_benchmark(NAME url_probe_benchmark
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/url_probe_benchmark.cpp
  LIBRARIES url_probe_core)
