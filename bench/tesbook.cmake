# tesbook_bench: whole-process timings of tesbook against an I/O baseline
# (POSIX only: it starts the runs itself). Run it through
# bench/run_tesbook_bench.sh.
if(UNIX)
  add_executable(tesbook_bench ${CMAKE_CURRENT_LIST_DIR}/tesbook_bench.cpp)
  target_link_libraries(tesbook_bench PRIVATE book chess)
  add_dependencies(tesbook_bench tesbook)
endif()
