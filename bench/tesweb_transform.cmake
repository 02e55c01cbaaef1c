# Transform throughput of tesweb on a large generated tournament file.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(tesweb_transform_bench ${CMAKE_CURRENT_LIST_DIR}/tesweb_transform_bench.cpp)
  target_link_libraries(tesweb_transform_bench PRIVATE transform config frame benchmark::benchmark)
  target_compile_definitions(tesweb_transform_bench PRIVATE
    TESSARA_TESWEB_PATH="$<TARGET_FILE:tesweb>")
  add_dependencies(tesweb_transform_bench tesweb)
endif()
