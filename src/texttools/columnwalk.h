#pragma once
// Column add/del, the plain part: which lines of a text get a string inserted or removed at
// their beginning or end, and the one splice that makes all those changes at once.
//
// The tool visits each newline in a window of the text: the selection itself (first to last,
// inclusive) for the end operations, which work on the line that the newline ends; the
// selection moved back by one position for the begin operations, which work on the line after
// the newline. So the begin operations handle the lines whose first character is selected, the
// end operations the lines whose newline is selected. The first line of the text has no newline
// before it: the begin operations handle it directly when the selection starts at position 0
// or 1. A line that does not begin (or end) with the string is left alone, and only one copy of
// the string is removed from a line.
//
// Positions are those of the text before any change, as the selection service reported them;
// positions outside the text handle nothing.
#include <string>
#include <string_view>
#include <vector>

enum class ColumnOperation { InsertAtBegin, InsertAtEnd, RemoveAtBegin, RemoveAtEnd };

// Where the string goes in (insert operations) or where a copy of it begins that is removed
// (remove operations), in ascending order. An empty string changes nothing.
std::vector<long> columnEditPositions(std::string_view text, long first, long last, ColumnOperation operation,
                                      std::string_view string);

// All the changes as one replacement of the stretch from `from` up to `to` by `bytes`.
struct ColumnSplice {
    long from = 0;
    long to = 0;
    std::string bytes;
};

ColumnSplice columnSplice(std::string_view text, const std::vector<long> &positions, ColumnOperation operation,
                          std::string_view string);

// Where a position of the text before the changes is afterwards, as if the changes had been
// made one by one: text inserted at the position comes after it, a removal that covers the
// position leaves it at the removal's start.
long columnMovedPosition(long position, const std::vector<long> &positions, ColumnOperation operation,
                         std::string_view string);
