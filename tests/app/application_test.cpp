#include "app/application.h"

#include <gtest/gtest.h>

TEST(App, Placeholder) { EXPECT_TRUE(true); }
