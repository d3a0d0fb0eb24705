#include "project/project.h"

#include <gtest/gtest.h>

TEST(Project, Placeholder) { EXPECT_TRUE(true); }
