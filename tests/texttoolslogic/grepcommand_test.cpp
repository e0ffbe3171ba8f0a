#include "texttools/grepdiff.h"

#include <gtest/gtest.h>

namespace {

TEST(GrepCommand, ThePlainStringIsTypedAsItIs)
{
    EXPECT_EQ(grepCommand("main"), "grep main *\n");
    EXPECT_EQ(grepCommand("a.b_c"), "grep a.b_c *\n");
}

TEST(GrepCommand, AnyOtherStringIsOneQuotedArgument)
{
    EXPECT_EQ(grepCommand("two words"), "grep 'two words' *\n");
    EXPECT_EQ(grepCommand("x; rm -rf ~"), "grep 'x; rm -rf ~' *\n");
    EXPECT_EQ(grepCommand("$(touch pwned)"), "grep '$(touch pwned)' *\n");
    EXPECT_EQ(grepCommand(""), "grep '' *\n"); // the empty string, not the first file's name
}

TEST(GrepCommand, AStringThatBeginsWithAMinusIsAPatternNotAnOption)
{
    EXPECT_EQ(grepCommand("-v"), "grep -e -v *\n");
    EXPECT_EQ(grepCommand("-rf ~"), "grep -e '-rf ~' *\n");
}

TEST(GrepCommand, LineEndsAtTheEndAreLeftOut)
{
    EXPECT_EQ(grepCommand("int main()\n"), "grep 'int main()' *\n");
    EXPECT_EQ(grepCommand("main\n\n"), "grep main *\n");
    EXPECT_EQ(grepCommand("a\nb\n"), "grep 'a\nb' *\n"); // grep reads each line as a pattern
}

} // namespace
