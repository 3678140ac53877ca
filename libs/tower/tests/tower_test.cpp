#include "libs/tower/cClgTowers.h"
#include <gtest/gtest.h>
TEST(Placeholder, Builds) { cClgTowers t; t.BuildCollection(2); EXPECT_EQ(t.Count(), 2); }
