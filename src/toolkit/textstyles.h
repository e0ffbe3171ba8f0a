#pragma once
// Colours and attributes of output text, as programs set them with SGR escape sequences
// ("\e[01;31m": bold red, "\e[m": back to plain), and the runs that give each byte of an output
// its style. No widgets: the output pane draws what is recorded here.

#include "toolkit/mappedarray.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

struct TextStyle {
    enum Flag : std::uint8_t {
        bold = 1,
        faint = 2,
        italic = 4,
        underline = 8,
        inverse = 16,
        crossedOut = 32,
    };
    // 0: the pane's own colour; otherwise 0xFF000000 | red << 16 | green << 8 | blue.
    std::uint32_t foreground = 0;
    std::uint32_t background = 0;
    std::uint8_t flags = 0;

    bool operator==(const TextStyle &other) const
    {
        return foreground == other.foreground && background == other.background && flags == other.flags;
    }
    bool operator!=(const TextStyle &other) const { return !(*this == other); }
};

struct TextStyleHash {
    std::size_t operator()(const TextStyle &style) const;
};

// The colour of an entry of the 256-colour table (0 to 15: the basic colours, chosen to be
// readable on a light background; then a 6 x 6 x 6 cube and 24 greys), as 0xFF000000 | RGB.
std::uint32_t paletteColour(int index);

// Applies the parameters of one SGR sequence (the text between "\e[" and "m") to `style`:
// 0 or nothing resets; 1 bold, 2 faint, 3 italic, 4 underline, 7 inverse, 9 crossed out and
// their ends (22, 23, 24, 27, 29); 30-37, 90-97 and 39 the foreground, 40-47, 100-107 and 49 the
// background; 38 and 48 with 5;n (256 colours) or 2;r;g;b (direct colour), also with colons.
// Anything else is ignored.
void applySgr(TextStyle &style, std::string_view parameters);

// The styles of a growing text: a run starts at a position and lasts until the next run. Styles
// are kept once each in a table. gcc colours several stretches of every line, so a long coloured
// output has nearly as many runs as it has words: a run is kept in a byte or two, its style and
// its distance from the run before. The first byte holds the style (the first 7 styles of the
// table by their index, any later one through a list of the runs that have one) and the distance's
// lowest 4 bits; further bytes, while the high bit is set, 7 more bits each. Every 256th run also
// keeps its position and where its bytes begin, so that a run is found from the nearest of those.
class StyleRuns {
public:
    StyleRuns();
    // From `position` on the text has `style`; a later position than any run so far. Returns
    // false when there is no memory for the run (the style then goes on as before).
    bool setStyle(long position, const TextStyle &style);
    const TextStyle &current() const { return styles_[currentIndex_]; }
    // The same with the index of a style in the table (as currentIndex() gave it).
    bool setStyleIndex(long position, std::size_t index);
    std::size_t currentIndex() const { return currentIndex_; }

    std::size_t runCount() const { return runCount_; }
    long runStart(std::size_t run) const;
    const TextStyle &runStyle(std::size_t run) const;
    // The run in effect at `position`: the last one starting at or before it, or runCount()
    // when the text is plain there (before the first run).
    std::size_t runAt(long position) const;

private:
    static constexpr unsigned codeBits = 3;
    static constexpr std::uint8_t codeMask = (1u << codeBits) - 1;
    static constexpr std::uint8_t listedStyle = codeMask; // the style is in listed_
    static constexpr unsigned firstDistanceBits = 4;
    static constexpr std::uint8_t moreBytes = 0x80;
    static constexpr std::size_t largestIndex = 0xFFFF; // of a style in the table
    static constexpr std::size_t runsPerBlock = 256;
    struct ListedStyle {
        std::size_t run;
        std::size_t index;
    };
    std::size_t indexOf(const TextStyle &style);
    void remember(std::size_t index);
    bool addRun(long position, std::size_t index);
    bool addShortRun(long position, std::size_t index);
    // Gives the last run the style at `index`; false when there is no memory for it.
    bool restyleLastRun(std::size_t index);
    // Reads the run whose bytes begin at `offset`: its distance from the run before. Returns where
    // the next run's bytes begin.
    std::size_t readRun(std::size_t offset, long &distance) const;
    // Where the bytes of `run` begin.
    std::size_t offsetOf(std::size_t run) const;

    MappedArray<std::uint8_t> runs_;     // the runs' bytes, one run after the other
    MappedArray<ListedStyle> listed_;    // the runs whose style is listedStyle, in order
    MappedArray<long> blockStarts_;      // the position of every runsPerBlock-th run
    MappedArray<std::size_t> blockOffsets_; // where its bytes begin
    std::size_t runCount_ = 0;
    std::size_t lastOffset_ = 0;         // where the last run's bytes begin
    long lastStart_ = 0;                 // of the last run
    std::vector<TextStyle> styles_; // index 0: plain
    std::unordered_map<TextStyle, std::size_t, TextStyleHash> indices_;
    std::size_t currentIndex_ = 0;
    std::array<std::size_t, 4> recent_{}; // indices of styles used lately
    std::size_t nextRecent_ = 0;
};

// Defined here so that they are inlined: every change of colour in a capture passes through them.
inline bool StyleRuns::setStyleIndex(long position, std::size_t index)
{
    if (index == currentIndex_ || index >= styles_.size())
        return true;
    // Sequences that follow each other without text between them make one run.
    if (runCount_ > 0 && lastStart_ == position) {
        if (!restyleLastRun(index))
            return false;
    } else if (!addShortRun(position, index) && !addRun(position, index)) {
        return false;
    }
    currentIndex_ = index;
    return true;
}

// The common run, added with few branches: one of the first styles, less than 2048 bytes after
// the run before, not the first of a block. False when the run is not such a run (nothing added).
inline bool StyleRuns::addShortRun(long position, std::size_t index)
{
    const unsigned long distance = static_cast<unsigned long>(position - lastStart_);
    if (index >= listedStyle || runCount_ % runsPerBlock == 0 || distance >= (1ul << (firstDistanceBits + 7)) ||
        !runs_.reserveMore(2))
        return false;
    const unsigned long rest = distance >> firstDistanceBits;
    std::uint8_t *out = runs_.spareRoom();
    out[0] = static_cast<std::uint8_t>(index | (distance & 0xF) << codeBits | (rest ? moreBytes : 0));
    out[1] = static_cast<std::uint8_t>(rest); // counted only when there is more
    lastOffset_ = runs_.size();
    runs_.grownInPlace(rest ? 2 : 1);
    ++runCount_;
    lastStart_ = position;
    return true;
}
