#include "core/changes.h"

#include <gtest/gtest.h>

TEST(Changes, Placeholder) { EXPECT_TRUE(true); }
