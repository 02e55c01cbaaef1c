#include "frame/startup.h"

#include <gtest/gtest.h>
