#include "chess/movereader.h"

#include <gtest/gtest.h>
