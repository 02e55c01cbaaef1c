# Board lookups in an opening file: halving the sorted keys against a hash
# table built at load.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(opening_lookup_bench ${CMAKE_CURRENT_LIST_DIR}/opening_lookup_bench.cpp)
  target_link_libraries(opening_lookup_bench PRIVATE book benchmark::benchmark)
  target_compile_definitions(opening_lookup_bench PRIVATE TESSARA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
