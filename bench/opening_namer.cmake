# Moves per second of the move reader on the main lines of real games
# (bench/run_teseco_bench.sh).
add_executable(opening_namer_bench ${CMAKE_CURRENT_LIST_DIR}/opening_namer_bench.cpp)
target_link_libraries(opening_namer_bench PRIVATE naming)
