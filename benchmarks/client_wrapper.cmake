orvane_benchmark(NAME client_wrapper_benchmark
                 SOURCES ${CMAKE_CURRENT_LIST_DIR}/client_wrapper_benchmark.cpp
                 LIBRARIES client_wrapper)
