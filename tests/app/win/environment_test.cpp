// The test environment is the one the program is made for.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Environment, AnsiCodePageIsCentralEuropean) { EXPECT_EQ(GetACP(), 1250u); }
