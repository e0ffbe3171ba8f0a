#include "texttools/columnwalk.h"

#include <algorithm>
#include <cstring>

namespace {

bool inserts(ColumnOperation operation)
{
    return operation == ColumnOperation::InsertAtBegin || operation == ColumnOperation::InsertAtEnd;
}

bool atBegin(ColumnOperation operation)
{
    return operation == ColumnOperation::InsertAtBegin || operation == ColumnOperation::RemoveAtBegin;
}

bool holdsAt(std::string_view text, long position, std::string_view string)
{
    return position >= 0 && static_cast<std::size_t>(position) <= text.size() &&
           text.compare(static_cast<std::size_t>(position), string.size(), string) == 0;
}

// The position the operation works at for the line that the newline at `newline` ends (end
// operations) or begins (begin operations); -1 when the line is left alone.
long editFor(std::string_view text, long newline, ColumnOperation operation, std::string_view string)
{
    const long n = static_cast<long>(string.size());
    switch (operation) {
    case ColumnOperation::InsertAtBegin:
        return newline + 1;
    case ColumnOperation::InsertAtEnd:
        return newline;
    case ColumnOperation::RemoveAtBegin:
        return holdsAt(text, newline + 1, string) ? newline + 1 : -1;
    case ColumnOperation::RemoveAtEnd:
        return newline >= n && holdsAt(text, newline - n, string) ? newline - n : -1;
    }
    return -1;
}

} // namespace

std::vector<long> columnEditPositions(std::string_view text, long first, long last, ColumnOperation operation,
                                      std::string_view string)
{
    std::vector<long> positions;
    const long length = static_cast<long>(text.size());
    const long n = static_cast<long>(string.size());
    if (n == 0 || first < 0 || first > last)
        return positions;
    long from = first, to = std::min(last, length - 1);
    if (atBegin(operation)) {
        if (first <= 1 && (operation == ColumnOperation::InsertAtBegin || holdsAt(text, 0, string)))
            positions.push_back(0);
        from = std::max(0L, first - 1);
        to = std::min(last - 1, length - 1);
    }
    const bool removes = !inserts(operation);
    for (long at = from; at <= to;) {
        const void *newline = std::memchr(text.data() + at, '\n', static_cast<std::size_t>(to - at + 1));
        if (!newline)
            break;
        const long p = static_cast<const char *>(newline) - text.data();
        const long edit = editFor(text, p, operation, string);
        // Removals never overlap: a copy that would reach into the one before is left.
        if (edit >= 0 && !(removes && !positions.empty() && edit < positions.back() + n))
            positions.push_back(edit);
        at = p + 1;
    }
    return positions;
}

ColumnSplice columnSplice(std::string_view text, const std::vector<long> &positions, ColumnOperation operation,
                          std::string_view string)
{
    ColumnSplice splice;
    if (positions.empty())
        return splice;
    const long n = static_cast<long>(string.size());
    const bool add = inserts(operation);
    splice.from = positions.front();
    splice.to = positions.back() + (add ? 0 : n);
    splice.bytes.reserve(static_cast<std::size_t>(splice.to - splice.from) +
                         (add ? positions.size() * string.size() : 0));
    long copied = splice.from;
    for (const long at : positions) {
        splice.bytes.append(text.data() + copied, static_cast<std::size_t>(at - copied));
        if (add) {
            splice.bytes.append(string);
            copied = at;
        } else {
            copied = at + n;
        }
    }
    return splice;
}

long columnMovedPosition(long position, const std::vector<long> &positions, ColumnOperation operation,
                         std::string_view string)
{
    const long n = static_cast<long>(string.size());
    if (inserts(operation)) {
        // Insertions at or after the position leave it where it is.
        const auto before = std::lower_bound(positions.begin(), positions.end(), position) - positions.begin();
        return position + n * before;
    }
    long moved = position;
    for (const long at : positions) {
        if (at >= position)
            break;
        moved -= std::min(n, position - at);
    }
    return moved;
}
