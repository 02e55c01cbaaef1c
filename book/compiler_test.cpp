#include "book/compiler.h"

#include <gtest/gtest.h>
