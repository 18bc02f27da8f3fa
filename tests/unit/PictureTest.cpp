#include <gtest/gtest.h>
#include "picture/Picture.h"
TEST(Picture, Placeholder) { EXPECT_TRUE(corvellin::Picture().empty()); }
