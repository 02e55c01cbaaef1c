#include "book/eco_reader.h"

#include <gtest/gtest.h>
