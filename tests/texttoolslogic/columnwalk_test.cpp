#include "texttools/columnwalk.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Op = ColumnOperation;

std::string apply(const std::string &text, long first, long last, Op operation, const std::string &string)
{
    const std::vector<long> positions = columnEditPositions(text, first, last, operation, string);
    const ColumnSplice splice = columnSplice(text, positions, operation, string);
    std::string result = text;
    result.replace(static_cast<size_t>(splice.from), static_cast<size_t>(splice.to - splice.from), splice.bytes);
    return result;
}

// The selection of `part` inside `text`: its first and last (inclusive) positions.
std::pair<long, long> selected(const std::string &text, const std::string &part)
{
    const long first = static_cast<long>(text.find(part));
    return {first, first + static_cast<long>(part.size()) - 1};
}

std::string apply(const std::string &text, const std::string &part, Op operation, const std::string &string)
{
    const auto [first, last] = selected(text, part);
    return apply(text, first, last, operation, string);
}

const std::string threeLines = "zero\none\ntwo\nthree\nfour\n";

TEST(ColumnWalk, InsertsAtTheBeginningOrEndOfEachSelectedLine)
{
    EXPECT_EQ(apply(threeLines, "one\ntwo\nthree\n", Op::InsertAtBegin, "//"), "zero\n//one\n//two\n//three\nfour\n");
    EXPECT_EQ(apply(threeLines, "one\ntwo\nthree\n", Op::InsertAtEnd, "//"), "zero\none//\ntwo//\nthree//\nfour\n");
    EXPECT_EQ(apply(threeLines, "one\ntwo\nthree\n", Op::InsertAtBegin, ""), threeLines);
}

TEST(ColumnWalk, RemovesOneCopyAndOnlyWhereTheLineHasIt)
{
    const std::string begins = "x\n//one\ntwo\n////three\n/x\n";
    EXPECT_EQ(apply(begins, "//one\ntwo\n////three\n", Op::RemoveAtBegin, "//"), "x\none\ntwo\n//three\n/x\n");
    const std::string ends = "x\none//\ntwo\nthree////\n";
    EXPECT_EQ(apply(ends, "one//\ntwo\nthree////\n", Op::RemoveAtEnd, "//"), "x\none\ntwo\nthree//\n");
    // Lines shorter than the string, right after a line that loses it.
    EXPECT_EQ(apply("a//\n/\n\nb//\n", 0, 10, Op::RemoveAtEnd, "//"), "a\n/\n\nb\n");
    EXPECT_EQ(apply("x\n//\n/\n//b\n", 1, 11, Op::RemoveAtBegin, "//"), "x\n\n/\nb\n");
}

TEST(ColumnWalk, TheSelectionsEndsDecideWhichLinesAreHandled)
{
    // Ending in the middle of "three": its newline is not selected, its first character is.
    EXPECT_EQ(apply(threeLines, "one\ntwo\nth", Op::InsertAtEnd, "#"), "zero\none#\ntwo#\nthree\nfour\n");
    EXPECT_EQ(apply(threeLines, "one\ntwo\nth", Op::InsertAtBegin, "#"), "zero\n#one\n#two\n#three\nfour\n");
    // Starting in the middle of "one": its first character is not selected, its newline is.
    EXPECT_EQ(apply(threeLines, "ne\ntwo\n", Op::InsertAtBegin, "#"), "zero\none\n#two\nthree\nfour\n");
    EXPECT_EQ(apply(threeLines, "ne\ntwo\n", Op::InsertAtEnd, "#"), "zero\none#\ntwo#\nthree\nfour\n");
    // Selecting only the newline that ends "zero" begins the begin operations on "one".
    EXPECT_EQ(apply(threeLines, 4, 4, Op::InsertAtBegin, "#"), "zero\none\ntwo\nthree\nfour\n");
    EXPECT_EQ(apply(threeLines, 5, 5, Op::InsertAtBegin, "#"), "zero\n#one\ntwo\nthree\nfour\n");
}

TEST(ColumnWalk, ASelectionFromTheTopHandlesTheFirstLine)
{
    const std::string text = "one\ntwo\nthree\nfour\n";
    const long last = static_cast<long>(std::string("one\ntwo\nthree\n").size()) - 1;
    EXPECT_EQ(apply(text, 0, last, Op::InsertAtBegin, "//"), "//one\n//two\n//three\nfour\n");
    EXPECT_EQ(apply(text, 1, last, Op::InsertAtBegin, "//"), "//one\n//two\n//three\nfour\n");
    EXPECT_EQ(apply("//one\ntwo\n//three\n", 0, 15, Op::RemoveAtBegin, "//"), "one\ntwo\nthree\n");
    EXPECT_EQ(apply("one\n", 0, 3, Op::RemoveAtBegin, "//"), "one\n");
    // An empty first line gets the string; so does the line after it.
    EXPECT_EQ(apply("\nx\n", 1, 2, Op::InsertAtBegin, "#"), "#\n#x\n");
}

TEST(ColumnWalk, PositionsOutsideTheTextHandleNothingThere)
{
    EXPECT_EQ(apply(threeLines, -1, -1, Op::InsertAtBegin, "#"), threeLines); // another program's selection
    EXPECT_EQ(apply(threeLines, -1, -1, Op::InsertAtEnd, "#"), threeLines);
    EXPECT_EQ(apply("a\nb", 0, 40, Op::InsertAtEnd, "#"), "a#\nb"); // the last line has no newline
    EXPECT_EQ(apply("a\nb", 0, 40, Op::InsertAtBegin, "#"), "#a\n#b");
    EXPECT_EQ(apply("a\nb\n", 50, 60, Op::InsertAtBegin, "#"), "a\nb\n");
}

TEST(ColumnWalk, PositionsMoveAsTheChangesOneByOneWouldMoveThem)
{
    const std::string text = "a//\nb//\nc\n";
    const std::vector<long> removals = columnEditPositions(text, 0, 9, Op::RemoveAtEnd, "//");
    ASSERT_EQ(removals, (std::vector<long>{1, 5}));
    EXPECT_EQ(columnMovedPosition(0, removals, Op::RemoveAtEnd, "//"), 0);
    EXPECT_EQ(columnMovedPosition(2, removals, Op::RemoveAtEnd, "//"), 1); // inside a removed copy
    EXPECT_EQ(columnMovedPosition(4, removals, Op::RemoveAtEnd, "//"), 2);
    EXPECT_EQ(columnMovedPosition(10, removals, Op::RemoveAtEnd, "//"), 6);
    const std::vector<long> inserts = columnEditPositions(text, 0, 9, Op::InsertAtBegin, "#");
    ASSERT_EQ(inserts, (std::vector<long>{0, 4, 8}));
    EXPECT_EQ(columnMovedPosition(4, inserts, Op::InsertAtBegin, "#"), 5);
    EXPECT_EQ(columnMovedPosition(5, inserts, Op::InsertAtBegin, "#"), 7);
}

// The tool as a loop over the text changed in place, its window moving with every insertion and
// removal; the first line of the text is handled directly when the selection starts at 0 or 1.
std::string inPlace(std::string text, long first, long last, Op operation, const std::string &string)
{
    const long n = static_cast<long>(string.size());
    const bool begin = operation == Op::InsertAtBegin || operation == Op::RemoveAtBegin;
    long f = first, l = last;
    if (begin) {
        --f;
        --l;
        if (first == 0 || first == 1) {
            if (operation == Op::InsertAtBegin) {
                text.insert(0, string);
                f += n;
                l += n;
            } else if (n > 0 && text.compare(0, string.size(), string) == 0) {
                text.erase(0, string.size());
                l -= n;
            }
        }
    }
    f = std::max(f - 1, begin && (first == 0 || first == 1) ? -1L : -2L);
    const auto at = [&](long p) { return p < 0 || p >= static_cast<long>(text.size()) ? -1 : text[p]; };
    for (;;) {
        if (l < f)
            return text;
        int c = ' ';
        while (c != '\n' && f <= l) {
            c = at(++f);
            if (c < 0)
                return text;
        }
        if (l < f)
            return text;
        const auto hit = [&](long from) { return n == 0 ? -1L : static_cast<long>(text.find(string, from)); };
        switch (operation) {
        case Op::InsertAtBegin:
            text.insert(f + 1, string);
            f += n;
            l += n;
            break;
        case Op::InsertAtEnd:
            text.insert(f, string);
            f += n;
            l += n;
            break;
        case Op::RemoveAtBegin:
            if (hit(f) == f + 1) {
                text.erase(f + 1, string.size());
                l -= n;
            }
            break;
        case Op::RemoveAtEnd:
            if (f - n >= 0 && hit(f - n) == f - n) {
                text.erase(f - n, string.size());
                l -= n;
            }
            break;
        }
    }
}

TEST(ColumnWalk, OneSpliceGivesWhatTheLoopInPlaceGives)
{
    std::mt19937 random(7);
    const char alphabet[] = "a/\n";
    const std::string strings[] = {"/", "//", "a/", "/a"};
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % 3];
        for (long first = -1; first <= length; ++first) {
            for (long last = first; last <= length; last += 1 + static_cast<long>(random() % 3)) {
                for (Op op : {Op::InsertAtBegin, Op::InsertAtEnd, Op::RemoveAtBegin, Op::RemoveAtEnd}) {
                    const std::string &string = strings[random() % 4];
                    ASSERT_EQ(apply(text, first, last, op, string), inPlace(text, first, last, op, string))
                        << "text \"" << text << "\" first " << first << " last " << last << " string " << string
                        << " operation " << static_cast<int>(op);
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 10000);
}

} // namespace
