orvane_benchmark(NAME now_playing_benchmark
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/now_playing_benchmark.cpp
  LIBRARIES now_playing_fakes)
