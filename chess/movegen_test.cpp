#include "chess/movegen.h"

#include <gtest/gtest.h>
