#include "compiler/errorlist.h"

#include <cstdio>
#include <utility>

ErrorList errorList;

std::string errorLineMessage(int lineNumber)
{
    char text[48];
    std::snprintf(text, sizeof text, "--- Error line %d ---", lineNumber);
    return text;
}

void ErrorList::rebuild(std::vector<ErrorEntry> entries)
{
    entries_ = std::move(entries);
    cursor_ = -1;
    bool any = !entries_.empty();
    buttons_ = {false, false, any, any};
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
