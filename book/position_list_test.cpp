#include "book/position_list.h"

#include <gtest/gtest.h>
