# Perft nodes per second from the start position and Kiwipete.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(perft_bench ${CMAKE_CURRENT_LIST_DIR}/perft_bench.cpp)
  target_link_libraries(perft_bench PRIVATE chess benchmark::benchmark)
endif()
