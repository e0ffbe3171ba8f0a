#include "compiler/errorlist.h"

#include <algorithm>
#include <cstdio>
#include <utility>

ErrorList errorList;

std::string errorLineMessage(int lineNumber)
{
    char text[48];
    std::snprintf(text, sizeof text, "--- Error line %d ---", lineNumber);
    return text;
}

void ErrorList::rebuild(ErrorEntries entries)
{
    entries_ = std::move(entries);
    cursor_ = -1;
    bool any = !entries_.empty();
    buttons_ = {false, false, any, any};
}

void ErrorList::rebuild(const std::vector<ErrorEntry> &entries)
{
    ErrorEntries copy;
    copy.append(entries.data(), entries.size());
    rebuild(std::move(copy));
}

void ErrorList::extend(const ErrorEntry *entries, std::size_t count)
{
    if (count == 0)
        return;
    entries_.append(entries, count);
    buttons_.next = buttons_.last = cursor_ + 1 < static_cast<int>(entries_.size());
}

ErrorStep ErrorList::showCursor(std::string message) const
{
    ErrorStep step;
    step.message = std::move(message);
    if (cursor_ >= 0 && cursor_ < static_cast<int>(entries_.size()))
        step.shown = &entries_[static_cast<size_t>(cursor_)];
    return step;
}

ErrorStep ErrorList::next()
{
    if (cursor_ + 1 < static_cast<int>(entries_.size())) {
        ++cursor_;
        buttons_.previous = buttons_.first = true;
        return showCursor(errorLineMessage(entries_[static_cast<size_t>(cursor_)].lineNumber));
    }
    buttons_.next = buttons_.last = false;
    buttons_.previous = buttons_.first = !entries_.empty();
    return showCursor("--- Last message ---");
}

ErrorStep ErrorList::previous()
{
    if (cursor_ > 0) {
        --cursor_;
        buttons_.next = buttons_.last = true;
        return showCursor(errorLineMessage(entries_[static_cast<size_t>(cursor_)].lineNumber));
    }
    buttons_.previous = buttons_.first = false;
    buttons_.next = buttons_.last = !entries_.empty();
    return showCursor("--- First message ---");
}

ErrorStep ErrorList::select(int index)
{
    if (index < 0 || index >= static_cast<int>(entries_.size()))
        return ErrorStep();
    cursor_ = index;
    buttons_ = {true, true, true, true};
    return showCursor(errorLineMessage(entries_[static_cast<size_t>(cursor_)].lineNumber));
}

int ErrorList::indexAt(long position, std::string_view output) const
{
    // The entries are in the order of their lines: the last one starting at or before the position.
    const ErrorEntry *after = std::upper_bound(entries_.begin(), entries_.end(), position,
                                               [](long at, const ErrorEntry &entry) { return at < entry.lineStart; });
    if (after == entries_.begin())
        return -1;
    const ErrorEntry *entry = after - 1;
    return position <= lineEndOf(output, *entry) ? static_cast<int>(entry - entries_.begin()) : -1;
}

ErrorStep ErrorList::first()
{
    cursor_ = entries_.empty() ? -1 : 0;
    return previous();
}

ErrorStep ErrorList::last()
{
    cursor_ = static_cast<int>(entries_.size()) - 1;
    return next();
}
