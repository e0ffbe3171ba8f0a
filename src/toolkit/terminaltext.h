#pragma once
// The lines that a program prints in a terminal, as the terminal shows them: the bytes that reach
// the terminal are cut into lines at each line feed, with the escape sequences (colours, cursor
// movement, window titles) taken out, a carriage return going back to the line's start so that
// what follows overwrites it, a backspace going back one character, a tab going on to the next
// multiple of eight columns, "erase to the end of the line" erasing, and other control characters
// dropped. Trailing blanks are not part of a line. No widgets.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class TerminalLineSplitter {
public:
    using LineProc = std::function<void(std::string_view line)>;

    // Hands every finished line to `proc`. A sequence or a line may be split between two calls.
    void take(const char *bytes, std::size_t count, const LineProc &proc);

    // A line longer than this keeps its first bytes only.
    static constexpr std::size_t longestLine = 64 * 1024;

private:
    enum class State { text, escape, escapeIntermediate, control, string, stringEscape };
    void put(const char *bytes, std::size_t count);
    void endLine(const LineProc &proc);
    void deliver(const char *line, std::size_t length, const LineProc &proc);
    void controlSequenceEnds(char finalByte);
    void tab();

    State state_ = State::text;
    std::string line_;
    std::size_t cursor_ = 0; // where the next character goes in line_
    std::string parameters_; // of the control sequence being read
};
