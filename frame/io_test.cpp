#include "frame/io.h"

#include <gtest/gtest.h>
