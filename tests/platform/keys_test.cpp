#include "platform/keys.h"

#include <gtest/gtest.h>

TEST(Keys, Placeholder) { EXPECT_TRUE(true); }
