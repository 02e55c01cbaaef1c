#include "book/opening_file.h"

#include <gtest/gtest.h>
