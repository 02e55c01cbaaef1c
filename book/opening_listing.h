// What a reader of an opening file prints of it: the summary line and the
// list of its positions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "book/opening_reader.h"

// "NAME: 7848 positions, longest line 36 plies, 3807 names in 92410 bytes"
// and a line end.
std::string bookSummary(const OpeningBook& book, std::string_view name);

// The name with every tab and line break (CR, LF) written as a blank, so
// that it stays one field of a tab-separated line.
std::string oneLineName(std::string name);

// "PLACEMENT<TAB>ECO<TAB>NAME" and a line end for the position at `index`.
std::string positionLine(const OpeningBook& book, std::int32_t index);

// Writes every position's line in file order; false at the first failed
// write.
bool writePositionList(const OpeningBook& book, std::FILE* out);
