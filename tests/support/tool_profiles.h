// The frame's tests run it under the two sets of console rules that the
// tools use, with banners and usage texts of their own: the frame knows no
// tool, and its tests do not reach above it.
#pragma once

#include "frame/io.h"

inline const ToolProfile BOOK_RULES =
    compilerRules("Book rules v1.00.\n\n", "\nusage: book filename.eco\n\n");

inline const ToolProfile WEB_RULES =
    pageWriterRules("Web rules v1.00.\n\n", "\nusage: web filename.txt\n\n");
