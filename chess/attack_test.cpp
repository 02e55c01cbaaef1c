#include "chess/attack.h"

#include <gtest/gtest.h>
