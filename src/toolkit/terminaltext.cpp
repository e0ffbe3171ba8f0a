#include "toolkit/terminaltext.h"

#include <algorithm>

namespace {

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool isShown(unsigned char c)
{
    return c >= 0x20 && c != 0x7F;
}

} // namespace

void TerminalLineSplitter::take(const char *bytes, std::size_t count, const LineProc &proc)
{
    const char *p = bytes;
    const char *const end = bytes + count;
    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (state_) {
        case State::text:
            if (isShown(c)) {
                const char *run = p;
                while (p < end && isShown(static_cast<unsigned char>(*p)))
                    ++p;
                // Most lines are plain text ending in "\r\n" or "\n": handed on as they stand.
                if (line_.empty() && p < end && (*p == '\n' || (*p == '\r' && p + 1 < end && p[1] == '\n'))) {
                    deliver(run, static_cast<std::size_t>(p - run), proc);
                    p += *p == '\n' ? 1 : 2;
                    continue;
                }
                put(run, static_cast<std::size_t>(p - run));
                continue;
            }
            ++p;
            if (c == '\n')
                endLine(proc);
            else if (c == '\r')
                cursor_ = 0;
            else if (c == '\b' && cursor_ > 0) {
                --cursor_;
                while (cursor_ > 0 && isContinuationByte(line_[cursor_]))
                    --cursor_;
            } else if (c == '\t')
                tab();
            else if (c == 0x1B)
                state_ = State::escape;
            break;
        case State::escape:
            ++p;
            if (c == '[') {
                state_ = State::control;
                parameters_.clear();
            } else if (c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_') {
                state_ = State::string; // a title, a device control string: shown nowhere
            } else if (c >= 0x20 && c <= 0x2F) {
                state_ = State::escapeIntermediate; // "\e(B" and the like
            } else {
                state_ = State::text;
            }
            break;
        case State::escapeIntermediate:
            ++p;
            if (c >= 0x30 && c <= 0x7E)
                state_ = State::text;
            break;
        case State::control:
            ++p;
            if (c >= 0x40 && c <= 0x7E) {
                state_ = State::text;
                controlSequenceEnds(static_cast<char>(c));
            } else if (c == 0x1B) {
                state_ = State::escape; // a sequence cut short by the next one
            } else if (c == '\n') {
                state_ = State::text;
                endLine(proc);
            } else if (parameters_.size() < 16) {
                parameters_ += static_cast<char>(c);
            }
            break;
        case State::string:
            ++p;
            if (c == 0x07)
                state_ = State::text;
            else if (c == 0x1B)
                state_ = State::stringEscape;
            break;
        case State::stringEscape:
            // "\e\\" ends the string; any other escape ends it too and begins anew.
            if (c == '\\') {
                ++p;
                state_ = State::text;
            } else {
                state_ = State::escape;
            }
            break;
        }
    }
}

void TerminalLineSplitter::put(const char *bytes, std::size_t count)
{
    if (cursor_ >= longestLine)
        return;
    count = std::min(count, longestLine - cursor_);
    const std::size_t overwritten = std::min(count, line_.size() - cursor_);
    line_.replace(cursor_, overwritten, bytes, count);
    cursor_ += count;
}

void TerminalLineSplitter::tab()
{
    std::size_t column = 0;
    for (std::size_t i = 0; i < cursor_; ++i)
        column += !isContinuationByte(line_[i]);
    const std::string blanks(8 - column % 8, ' ');
    if (cursor_ + blanks.size() <= line_.size())
        cursor_ += blanks.size(); // a tab moves over what is there
    else
        put(blanks.data(), blanks.size());
}

void TerminalLineSplitter::controlSequenceEnds(char finalByte)
{
    // Only erasing in the line changes the line's text ("\e[K" follows gcc's colours).
    if (finalByte != 'K')
        return;
    if (parameters_.empty() || parameters_ == "0")
        line_.resize(std::min(cursor_, line_.size()));
    else if (parameters_ == "1")
        std::fill_n(line_.begin(), std::min(cursor_ + 1, line_.size()), ' ');
    else if (parameters_ == "2")
        std::fill(line_.begin(), line_.end(), ' ');
}

void TerminalLineSplitter::endLine(const LineProc &proc)
{
    deliver(line_.data(), std::min(line_.size(), longestLine), proc);
    line_.clear();
    cursor_ = 0;
}

void TerminalLineSplitter::deliver(const char *line, std::size_t length, const LineProc &proc)
{
    length = std::min(length, longestLine);
    while (length > 0 && line[length - 1] == ' ')
        --length;
    proc(std::string_view(line, length));
}
