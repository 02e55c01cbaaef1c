# A Swiss event of more than 1,000 players through tescross and the real
# tesweb: no round cell may be shown as a title, a flag or a rating, though
# tesweb tests the four cells after the name for them and opponents' rows
# from 1000 on are numbers in the range of a rating. Once without the
# rating column (rounds and points are the four cells) and once with it
# (every rated player has the one rating cell).
#
#   cmake -DTESCROSS=... -DTESWEB=... -DSETTINGS=TESSARA.INI -DWORK=DIR -P tescross_wide_swiss.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(players 1100)
math(EXPR half "${players} / 2")
foreach(rated 0 1)
  set(pgn "")
  foreach(round 1 2 3)
    foreach(board RANGE 1 ${half})
      # Round 1: 1-551, round 2: 1-552, round 3: 1-553 (wrapping), White wins.
      math(EXPR black "(${board} + ${round} - 2) % ${half} + ${half} + 1")
      string(APPEND pgn "[Event \"Wide Open\"]\n[Round \"${round}\"]\n"
             "[White \"P${board}\"]\n[Black \"P${black}\"]\n[Result \"1-0\"]\n")
      if(rated)
        string(APPEND pgn "[WhiteElo \"2000\"]\n[BlackElo \"1800\"]\n")
      endif()
      string(APPEND pgn "\n1-0\n\n")
    endforeach()
  endforeach()
  file(WRITE ${WORK}/wide${rated}.pgn "${pgn}")
  execute_process(COMMAND ${TESCROSS} ${WORK}/wide${rated}.pgn OUTPUT_FILE ${WORK}/wide${rated}.txt
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tescross on ${players} players: status ${status}")
  endif()
  execute_process(COMMAND ${TESWEB} ${SETTINGS} ${WORK}/wide${rated}.txt INPUT_FILE /dev/null
                  OUTPUT_VARIABLE console RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR console MATCHES "Error|Warning")
    message(FATAL_ERROR "tesweb on ${players} players: status ${status}\n${console}")
  endif()
  file(READ ${WORK}/wide${rated}.htm page)
  string(REGEX MATCHALL "class='telo'" ratings "${page}")
  string(REGEX MATCHALL "class='ttitle'|<IMG" others "${page}")
  string(REGEX MATCHALL "<TD>&#49;[0-9][0-9][0-9][wb]" guarded "${page}")
  list(LENGTH ratings rating_cells)
  list(LENGTH others other_cells)
  list(LENGTH guarded guarded_cells)
  math(EXPR expected "${rated} * ${players}")
  if(NOT rating_cells EQUAL expected OR NOT other_cells EQUAL 0 OR guarded_cells EQUAL 0)
    message(FATAL_ERROR "${players} players, rated ${rated}: ${rating_cells} rating cells "
                        "(${expected} expected), ${other_cells} title or flag cells, "
                        "${guarded_cells} opponents from 1000 among the first cells")
  endif()
endforeach()
message(STATUS "no round cell of ${players} players was taken for a rating, title or flag")
