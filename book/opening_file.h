// The binary opening file that the viewer reads to name a game's opening:
//   offset 0    "Tessara3 Openings" and a 0 byte
//   offset 18   N, the number of positions      (32-bit little-endian)
//   offset 22   the longest ECO line in plies
//   offset 26   S, the size of the name space
//   offset 30   N board keys of 32 bytes, ascending, no two equal
//   then        N name offsets of 4 bytes, entry i naming the line of key i
//   then        the S bytes of the name space
// so that the file is 30 + 36 * N + S bytes long.
#pragma once

#include <cstdint>

#include "book/name_store.h"
#include "book/position_list.h"
#include "frame/io.h"

constexpr char OPENING_FILE_ID[] = "Tessara3 Openings";
static_assert(sizeof OPENING_FILE_ID == 18);
constexpr int OPENING_FILE_HEAD_SIZE = 30;

// Writes the whole file in one sequential pass after duplicate removal; a
// failed write ends the run with "Disk full".
void writeOpeningFile(Frame& frame, const NameStore& names, const PositionList& positions,
                      std::int32_t longestLine);
