# Throughput of the PGN reader on a PGN file (bench/run_pgn_reader_bench.sh).
add_executable(pgn_reader_bench ${CMAKE_CURRENT_LIST_DIR}/pgn_reader_bench.cpp)
target_link_libraries(pgn_reader_bench PRIVATE pgn)
