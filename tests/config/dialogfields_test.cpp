#include "config/dialogfields.h"
#include "config/fontnames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

std::string nameOf(int foundry, int weight, int size)
{
    FontChoice choice;
    choice.foundry = foundry;
    choice.weight = weight;
    choice.size = size;
    return composeFontName(choice);
}

// Every name the chooser can compose, by foundry, then bold and normal, then the six sizes.
TEST(FontNames, AllFortyEightNames)
{
    const std::vector<std::string> expected = {
        "5x8bold", "6x10bold", "6x12bold", "7x14bold", "10x20bold", "12x24bold",
        "5x8", "6x10", "6x12", "7x14", "10x20", "12x24",
        "-schumacher-clean-bold-r-normal--8-80-75-75-c-60-iso8859-1",
        "-schumacher-clean-bold-r-normal--10-100-75-75-c-80-iso8859-1",
        "-schumacher-clean-bold-r-normal--12-120-75-75-c-80-iso8859-1",
        "-schumacher-clean-bold-r-normal--14-140-75-75-c-80-iso8859-1",
        "-schumacher-clean-bold-r-normal--16-160-75-75-c-80-iso8859-1",
        "-schumacher-clean-bold-r-normal--16-160-75-75-c-80-iso8859-1",
        "-schumacher-clean-medium-r-normal--8-80-75-75-c-60-iso8859-1",
        "-schumacher-clean-medium-r-normal--10-100-75-75-c-80-iso8859-1",
        "-schumacher-clean-medium-r-normal--12-120-75-75-c-80-iso8859-1",
        "-schumacher-clean-medium-r-normal--14-140-75-75-c-80-iso8859-1",
        "-schumacher-clean-medium-r-normal--16-160-75-75-c-80-iso8859-1",
        "-schumacher-clean-medium-r-normal--16-160-75-75-c-80-iso8859-1",
        "-adobe-courier-bold-r-normal--8-80-75-75-m-50-iso8859-1",
        "-adobe-courier-bold-r-normal--10-100-75-75-m-60-iso8859-1",
        "-adobe-courier-bold-r-normal--12-120-75-75-m-70-iso8859-1",
        "-adobe-courier-bold-r-normal--14-140-75-75-m-90-iso8859-1",
        "-adobe-courier-bold-r-normal--18-180-75-75-m-110-iso8859-1",
        "-adobe-courier-bold-r-normal--24-240-75-75-m-150-iso8859-1",
        "-adobe-courier-medium-r-normal--8-80-75-75-m-50-iso8859-1",
        "-adobe-courier-medium-r-normal--10-100-75-75-m-60-iso8859-1",
        "-adobe-courier-medium-r-normal--12-120-75-75-m-70-iso8859-1",
        "-adobe-courier-medium-r-normal--14-140-75-75-m-90-iso8859-1",
        "-adobe-courier-medium-r-normal--18-180-75-75-m-110-iso8859-1",
        "-adobe-courier-medium-r-normal--24-240-75-75-m-150-iso8859-1",
        "lucidasanstypewriter-bold-8", "lucidasanstypewriter-bold-10", "lucidasanstypewriter-bold-12",
        "lucidasanstypewriter-bold-14", "lucidasanstypewriter-bold-18", "lucidasanstypewriter-bold-24",
        "lucidasanstypewriter-8", "lucidasanstypewriter-10", "lucidasanstypewriter-12",
        "lucidasanstypewriter-14", "lucidasanstypewriter-18", "lucidasanstypewriter-24",
    };
    std::vector<std::string> composed;
    std::size_t longest = 0;
    for (int foundry = 0; foundry < foundryCount; ++foundry)
        for (int weight = 0; weight < weightCount; ++weight)
            for (int size = 0; size < sizeCount; ++size) {
                composed.push_back(nameOf(foundry, weight, size));
                longest = std::max(longest, composed.back().size());
            }
    EXPECT_EQ(composed, expected);
    EXPECT_EQ(longest, longestFontName);
}

TEST(FontNames, StartingChoiceAndOutOfRangeIndices)
{
    EXPECT_EQ(composeFontName(FontChoice()), "lucidasanstypewriter-bold-14");
    EXPECT_EQ(nameOf(4, 0, 0), "");
    EXPECT_EQ(nameOf(0, 2, 0), "");
    EXPECT_EQ(nameOf(0, 0, -1), "");
}

// A field of `capacity` bytes holding `old`, after `text` was stored into it.
std::string stored(const char *old, const QString &text, std::size_t capacity = 8)
{
    std::vector<char> field(capacity + 4, '\x7f'); // bytes past the capacity must stay
    std::strcpy(field.data(), old);
    storeFieldText(field.data(), capacity, text);
    EXPECT_EQ(field[capacity], '\x7f');
    return std::string(field.data());
}

TEST(DialogFields, ValuesAreCutToTheCapacityLessOneNeverInsideACharacter)
{
    EXPECT_EQ(stored("", "abc"), "abc");
    EXPECT_EQ(stored("old", "1234567"), "1234567");
    EXPECT_EQ(stored("old", "123456789"), "1234567");
    EXPECT_EQ(stored("old", ""), "");
    // "ä" is two bytes in UTF-8: the seventh byte would split it.
    EXPECT_EQ(stored("", QString::fromUtf8("123456\xc3\xa4")), "123456");
    EXPECT_EQ(stored("", QString::fromUtf8("12345\xc3\xa4x")), "12345\xc3\xa4");
    EXPECT_EQ(stored("", QString::fromUtf8("\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac")), "\xe2\x82\xac\xe2\x82\xac");
}

TEST(DialogFields, BytesThatAreNotUtf8SurviveTheDialog)
{
    const char latin1[] = "caf\xe9 \xff";
    const QString shown = fieldText(latin1);
    EXPECT_EQ(shown.size(), 6);
    EXPECT_EQ(stored(latin1, shown), latin1);
    EXPECT_EQ(stored(latin1, shown + "!"), "caf\xe9 \xff!");
    // A character beyond Latin-1 typed into such a field is stored as UTF-8.
    EXPECT_EQ(stored(latin1, QString::fromUtf8("\xe2\x82\xac")), "\xe2\x82\xac");
    EXPECT_EQ(fieldText("gr\xc3\xbc\xc3\x9f"), QString::fromUtf8("gr\xc3\xbc\xc3\x9f"));
    EXPECT_EQ(stored("gr\xc3\xbc\xc3\x9f", QString::fromUtf8("\xc3\xbc")), "\xc3\xbc");
}

TEST(DialogFields, FlagsAreStoredAsLowerCaseLettersAndTheRestOfTheLineStays)
{
    char flags[8] = "YN rest";
    storeFlag(flags, sizeof flags, 0, false);
    storeFlag(flags, sizeof flags, 1, true);
    EXPECT_STREQ(flags, "ny rest");

    char empty[8] = "";
    storeFlag(empty, sizeof empty, 1, true);
    EXPECT_STREQ(empty, "ny");
    storeFlag(empty, sizeof empty, 0, true);
    EXPECT_STREQ(empty, "yy");

    char tiny[2] = "";
    storeFlag(tiny, sizeof tiny, 1, true); // no room: nothing written
    EXPECT_STREQ(tiny, "");
}

} // namespace
