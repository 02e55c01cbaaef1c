#include "chess/board.h"

#include <gtest/gtest.h>
