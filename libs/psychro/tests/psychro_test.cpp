#include "libs/psychro/PSYCHEN32.h"
#include <gtest/gtest.h>
TEST(Placeholder, Builds) { EXPECT_FLOAT_EQ(PSYCHEN32::BaromPres(0), 14.696f); }
