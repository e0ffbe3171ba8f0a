#pragma once
// The text of an output pane: bytes that only grow at their end, such as a compiler's output, with
// their lines and their colours. One object holds the bytes once; the program keeps it as the
// compiler's output and the results pane shows the very same bytes. No widgets.
//
// The bytes and a sparse index of the line starts (every 64th line) are kept in mapped arrays that
// grow without copying what they hold, so that appending costs the same at 100 MB as at 100
// bytes and a capture costs little more than one byte of memory per byte of output.
//
// appendProgramOutput takes what a program wrote to a pipe: colour sequences (SGR, "\e[01;31m")
// become the styles of the text after them, and every other escape sequence is dropped, so that
// the text, its positions and its lines are those of the output without the sequences. A sequence
// may be split between two calls.

#include "toolkit/mappedarray.h"
#include "toolkit/textstyles.h"
#include "toolkit/utf8check.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class OutputText {
public:
    OutputText() = default;
    OutputText(const OutputText &) = delete;
    OutputText &operator=(const OutputText &) = delete;

    // Appends the bytes exactly as they are. False, with nothing appended, when there is no
    // memory for them.
    bool append(const char *bytes, std::size_t count);
    bool append(std::string_view bytes) { return append(bytes.data(), bytes.size()); }
    // Appends a program's output, its escape sequences taken out (see above). False when memory
    // ran out part way: what fitted before is kept. The bytes may be those written into the room
    // that roomForProgramOutput gave: they are then taken where they are, without a copy.
    bool appendProgramOutput(const char *bytes, std::size_t count);
    // Room after the text for `count` bytes of a program's output (to read a pipe into), or null
    // when there is no memory for it. Valid until the text changes.
    char *roomForProgramOutput(std::size_t count);

    std::size_t size() const { return bytes_.size(); }
    const char *data() const { return bytes_.data() ? bytes_.data() : ""; }
    std::string_view text() const { return std::string_view(data(), size()); }
    // Whether the bytes so far are valid UTF-8 (a character may still be incomplete at the end).
    bool isUtf8() const { return validator_.valid(); }

    // Lines are separated by '\n'; a text has one line more than it has line ends.
    long lineCount() const { return lines_; }
    long lineStart(long line) const;
    // The end of the line that starts at `start`: its '\n', or the end of the text.
    long lineEndFrom(long start) const;
    // The line that holds `position` (a line end belongs to the line it ends).
    long lineOf(long position) const;
    // The widest line so far, counting each byte a column and a tab eight.
    long widestColumns() const { return widestColumns_; }

    const StyleRuns &styles() const { return styles_; }

private:
    static constexpr long sampleEvery = 64;
    void takeNewBytes(std::size_t from);
    // Takes one byte of an escape sequence; false when the byte ends the sequence without
    // belonging to it (it is then text).
    bool takeSequenceByte(unsigned char byte);
    void endSequence(unsigned char finalByte);
    std::size_t takeWholeControlSequence(const char *bytes, std::size_t count, long position, bool &settled);
    std::size_t takeSeenSequence(const char *at, long position);
    void rememberSequence(const char *at, std::size_t length, std::size_t from);
    bool takeColour(std::string_view parameters, std::uint64_t key, long position);

    MappedArray<char> bytes_;
    MappedArray<long> samples_; // samples_[k]: where line (k + 1) * sampleEvery begins
    long lines_ = 1;
    long widestColumns_ = 0;
    long openColumns_ = 0; // of the last line, which has no line end yet
    Utf8Validator validator_;
    StyleRuns styles_;

    // The escape sequence being read, if any.
    enum class Sequence { none, escape, control, string, stringEscape, other };
    Sequence sequence_ = Sequence::none;
    std::string parameters_; // of a control sequence
    bool colourSequence_ = false; // only digits, ';' and ':' so far
    std::size_t sequenceLength_ = 0;

    // Colour sequences seen lately and the style each led to from the style before, by their
    // parameters: for the sequences that the whole ones below miss (near the end of a piece, longer
    // than 16 bytes, or more kinds than those hold). Only parameters of up to 8 bytes are
    // remembered, as one number (gcc's "01;31" and the like), each in the place that number and the
    // style before choose.
    struct Transition {
        std::size_t from = 0;
        std::size_t to = 0;
        std::uint64_t parameters = 0;
        std::uint8_t length = 0xFF; // of the parameters; 0xFF: none yet
    };
    std::array<Transition, 16> transitions_;

    // Whole sequences seen lately as they stood in the output (gcc's "\e[K" after them included),
    // with the style each led to from the style before: most of a coloured output is the same few
    // again and again, each then taken by one comparison of 16 bytes, without reading its
    // parameters. The oldest gives way to a new one.
    struct SeenSequence {
        char bytes[16];
        std::uint8_t length = 0; // 0: none yet
        std::size_t from = 0;
        std::size_t to = 0;
    };
    std::array<SeenSequence, 8> seenSequences_{};
    std::size_t nextSeen_ = 0;
};

inline std::string_view textOf(const OutputText &text)
{
    return text.text();
}
