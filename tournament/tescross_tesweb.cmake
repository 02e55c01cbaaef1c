# Runs tescross over each PGN or TRF file given and the real tesweb over what it
# writes: every block must transform without a word on the console and with
# exit status 0, and give one table per block.
#
#   cmake -DTESCROSS=... -DTESWEB=... -DSETTINGS=TESSARA.INI -DWORK=DIR
#         -DFILES="a.pgn;b.pgn" -P tescross_tesweb.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(number 0)
foreach(pgn ${FILES})
  math(EXPR number "${number} + 1")
  set(text ${WORK}/table${number}.txt)
  execute_process(COMMAND ${TESCROSS} ${pgn} OUTPUT_FILE ${text} RESULT_VARIABLE status
                  ERROR_QUIET)
  file(READ ${text} blocks)
  string(REGEX MATCHALL "(^|\n)cross cols=" commands "${blocks}")
  list(LENGTH commands tables)
  execute_process(COMMAND ${TESWEB} ${SETTINGS} ${text} INPUT_FILE /dev/null
                  OUTPUT_VARIABLE console RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR console MATCHES "Error|Warning")
    message(FATAL_ERROR "tesweb on the blocks of ${pgn}: status ${status}\n${console}")
  endif()
  file(READ ${WORK}/table${number}.htm page)
  string(REGEX MATCHALL "</TABLE>" closed "${page}")
  list(LENGTH closed written)
  if(NOT written EQUAL tables)
    message(FATAL_ERROR "${pgn}: ${tables} blocks, but ${written} tables on the page")
  endif()
endforeach()
message(STATUS "tesweb read the blocks of ${number} files")
