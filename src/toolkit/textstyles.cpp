#include "toolkit/textstyles.h"

#include <algorithm>
#include <functional>

namespace {

constexpr std::uint32_t opaque = 0xFF000000u;

// The sixteen basic colours, darker than a terminal's own so that they read on white.
constexpr std::uint32_t basicColours[16] = {
    0x000000, 0xC01C28, 0x26A269, 0xA2734C, 0x12488B, 0xA347BA, 0x2A7B8C, 0xA0A0A0,
    0x5E5C64, 0xF66151, 0x33B86A, 0xC88800, 0x2A7BDE, 0xC061CB, 0x33A7C7, 0xD0D0D0,
};

// The most parameters of a sequence, and values of a parameter, that are looked at.
constexpr std::size_t mostParameters = 64;
constexpr std::size_t mostValues = 8;

// The values of one parameter: "38:2::10:20:30" gives 38, 2, 0, 10, 20, 30. Values are held at
// 65535; a missing value is 0. Returns how many there are.
std::size_t subParameters(std::string_view parameter, int *values)
{
    std::size_t count = 1;
    values[0] = 0;
    for (char c : parameter) {
        if (c == ':') {
            if (count == mostValues)
                break;
            values[count++] = 0;
        } else if (c >= '0' && c <= '9') {
            values[count - 1] = std::min(values[count - 1] * 10 + (c - '0'), 65535);
        }
    }
    return count;
}

std::uint32_t rgb(int red, int green, int blue)
{
    auto clamp = [](int value) { return static_cast<std::uint32_t>(std::clamp(value, 0, 255)); };
    return opaque | clamp(red) << 16 | clamp(green) << 8 | clamp(blue);
}

// An extended colour from its values after the 38 or 48: 5;n or 2;r;g;b (with colons a colour
// space may stand before r). Sets `colour` and returns how many values it took (0: none valid).
std::size_t extendedColour(const int *values, std::size_t size, std::size_t at, bool colons, std::uint32_t &colour)
{
    if (at >= size)
        return 0;
    if (values[at] == 5 && at + 1 < size) {
        colour = paletteColour(values[at + 1]);
        return 2;
    }
    if (values[at] == 2) {
        const std::size_t first = colons && size - at >= 5 ? at + 2 : at + 1;
        if (first + 2 < size) {
            colour = rgb(values[first], values[first + 1], values[first + 2]);
            return first + 3 - at;
        }
    }
    return 0;
}

} // namespace

std::uint32_t paletteColour(int index)
{
    if (index < 0 || index > 255)
        return 0;
    if (index < 16)
        return opaque | basicColours[index];
    if (index < 232) {
        static const int levels[6] = {0, 95, 135, 175, 215, 255};
        const int cube = index - 16;
        return rgb(levels[cube / 36], levels[cube / 6 % 6], levels[cube % 6]);
    }
    const int grey = 8 + (index - 232) * 10;
    return rgb(grey, grey, grey);
}

namespace {

// Reads the parameters of a sequence one by one: each parameter's first value, and the whole
// parameter (which may hold colon-separated values of its own).
class ParameterReader {
public:
    explicit ParameterReader(std::string_view parameters) : parameters_(parameters) {}
    bool next(int &value, std::string_view &parameter)
    {
        if (done_)
            return false;
        const std::size_t semicolon = parameters_.find(';', at_);
        parameter = parameters_.substr(at_, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - at_);
        done_ = semicolon == std::string_view::npos;
        at_ = done_ ? parameters_.size() : semicolon + 1;
        value = 0;
        for (char c : parameter) {
            if (c == ':')
                break;
            if (c >= '0' && c <= '9')
                value = std::min(value * 10 + (c - '0'), 65535);
        }
        return true;
    }

private:
    std::string_view parameters_;
    std::size_t at_ = 0;
    bool done_ = false;
};

} // namespace

void applySgr(TextStyle &style, std::string_view parameters)
{
    ParameterReader reader(parameters);
    int code = 0;
    std::string_view parameter;
    while (reader.next(code, parameter)) {
        if (code == 38 || code == 48) {
            std::uint32_t colour = 0;
            int values[mostValues];
            if (parameter.find(':') != std::string_view::npos) {
                extendedColour(values, subParameters(parameter, values), 1, true, colour);
            } else {
                // 5;n or 2;r;g;b follow as parameters of their own. A broken colour takes the
                // rest of the sequence with it.
                std::size_t count = 0;
                std::string_view ignored;
                if (reader.next(values[0], ignored)) {
                    count = 1;
                    const std::size_t wanted = values[0] == 5 ? 2 : values[0] == 2 ? 4 : mostValues;
                    while (count < wanted && reader.next(values[count], ignored))
                        ++count;
                }
                extendedColour(values, count, 0, false, colour);
            }
            (code == 38 ? style.foreground : style.background) = colour;
            continue;
        }
        switch (code) {
        case 0: style = TextStyle(); break;
        case 1: style.flags |= TextStyle::bold; break;
        case 2: style.flags |= TextStyle::faint; break;
        case 3: style.flags |= TextStyle::italic; break;
        case 4:
        case 21: style.flags |= TextStyle::underline; break;
        case 7: style.flags |= TextStyle::inverse; break;
        case 9: style.flags |= TextStyle::crossedOut; break;
        case 22: style.flags &= static_cast<std::uint8_t>(~(TextStyle::bold | TextStyle::faint)); break;
        case 23: style.flags &= static_cast<std::uint8_t>(~TextStyle::italic); break;
        case 24: style.flags &= static_cast<std::uint8_t>(~TextStyle::underline); break;
        case 27: style.flags &= static_cast<std::uint8_t>(~TextStyle::inverse); break;
        case 29: style.flags &= static_cast<std::uint8_t>(~TextStyle::crossedOut); break;
        case 39: style.foreground = 0; break;
        case 49: style.background = 0; break;
        default:
            if (code >= 30 && code <= 37)
                style.foreground = paletteColour(code - 30);
            else if (code >= 90 && code <= 97)
                style.foreground = paletteColour(code - 90 + 8);
            else if (code >= 40 && code <= 47)
                style.background = paletteColour(code - 40);
            else if (code >= 100 && code <= 107)
                style.background = paletteColour(code - 100 + 8);
        }
    }
}

std::size_t TextStyleHash::operator()(const TextStyle &style) const
{
    return std::hash<std::uint64_t>()((std::uint64_t(style.foreground) << 32 | style.background) * 31 + style.flags);
}

StyleRuns::StyleRuns()
{
    styles_.push_back(TextStyle());
    indices_.emplace(TextStyle(), 0);
}

std::size_t StyleRuns::indexOf(const TextStyle &style)
{
    // Outputs switch between a few styles again and again: those are looked at first.
    for (std::size_t index : recent_)
        if (styles_[index] == style)
            return index;
    const auto known = indices_.find(style);
    if (known != indices_.end()) {
        remember(known->second);
        return known->second;
    }
    if (styles_.size() > largestIndex)
        return 0; // the table is full: further new styles are shown plain
    styles_.push_back(style);
    indices_.emplace(style, styles_.size() - 1);
    remember(styles_.size() - 1);
    return styles_.size() - 1;
}

void StyleRuns::remember(std::size_t index)
{
    recent_[nextRecent_] = index;
    nextRecent_ = (nextRecent_ + 1) % recent_.size();
}

bool StyleRuns::setStyle(long position, const TextStyle &style)
{
    if (style == styles_[currentIndex_])
        return true;
    return setStyleIndex(position, indexOf(style));
}

bool StyleRuns::restyleLastRun(std::size_t index)
{
    const bool wasListed = (runs_[lastOffset_] & codeMask) == listedStyle;
    if (index >= listedStyle) {
        if (wasListed)
            listed_.back().index = index;
        else if (!listed_.push_back({runCount_ - 1, index}))
            return false;
    } else if (wasListed) {
        listed_.shrinkBy(1);
    }
    const std::uint8_t code = static_cast<std::uint8_t>(std::min<std::size_t>(index, listedStyle));
    runs_[lastOffset_] = static_cast<std::uint8_t>((runs_[lastOffset_] & ~codeMask) | code);
    return true;
}

// Adds a run; false, with nothing added, when there is no memory for it.
bool StyleRuns::addRun(long position, std::size_t index)
{
    const bool blockStart = runCount_ % runsPerBlock == 0;
    const bool listed = index >= listedStyle;
    if (!runs_.reserveMore(1 + (64 + 6) / 7) || (listed && !listed_.reserveMore(1)) ||
        (blockStart && (!blockStarts_.reserveMore(1) || !blockOffsets_.reserveMore(1))))
        return false;
    if (blockStart) {
        blockStarts_.push_back(position);
        blockOffsets_.push_back(runs_.size());
    }
    if (listed)
        listed_.push_back({runCount_, index});
    const unsigned long distance = blockStart ? 0 : static_cast<unsigned long>(position - lastStart_);
    unsigned long rest = distance >> firstDistanceBits;
    std::uint8_t *out = runs_.spareRoom();
    std::size_t length = 0;
    out[length++] = static_cast<std::uint8_t>(std::min<std::size_t>(index, listedStyle) |
                                              (distance & 0xF) << codeBits | (rest ? moreBytes : 0));
    for (; rest != 0; rest >>= 7)
        out[length++] = static_cast<std::uint8_t>((rest & 0x7F) | (rest >> 7 ? moreBytes : 0));
    lastOffset_ = runs_.size();
    runs_.grownInPlace(length);
    ++runCount_;
    lastStart_ = position;
    return true;
}

std::size_t StyleRuns::readRun(std::size_t offset, long &distance) const
{
    std::uint8_t byte = runs_[offset++];
    distance = (byte >> codeBits) & 0xF;
    for (unsigned shift = firstDistanceBits; byte & moreBytes; shift += 7) {
        byte = runs_[offset++];
        distance |= static_cast<long>(byte & 0x7F) << shift;
    }
    return offset;
}

std::size_t StyleRuns::offsetOf(std::size_t run) const
{
    const std::size_t block = run / runsPerBlock;
    std::size_t offset = blockOffsets_[block];
    long distance;
    for (std::size_t at = block * runsPerBlock; at < run; ++at)
        offset = readRun(offset, distance);
    return offset;
}

const TextStyle &StyleRuns::runStyle(std::size_t run) const
{
    const std::size_t code = runs_[offsetOf(run)] & codeMask;
    if (code != listedStyle)
        return styles_[code];
    const ListedStyle *found = std::lower_bound(listed_.begin(), listed_.end(), run,
                                                [](const ListedStyle &each, std::size_t r) { return each.run < r; });
    return styles_[found != listed_.end() && found->run == run ? found->index : 0];
}

long StyleRuns::runStart(std::size_t run) const
{
    const std::size_t block = run / runsPerBlock;
    long start = blockStarts_[block];
    std::size_t offset = blockOffsets_[block];
    long distance;
    offset = readRun(offset, distance); // the block's first run: its position is kept
    for (std::size_t at = block * runsPerBlock + 1; at <= run; ++at) {
        offset = readRun(offset, distance);
        start += distance;
    }
    return start;
}

std::size_t StyleRuns::runAt(long position) const
{
    const long *found = std::upper_bound(blockStarts_.begin(), blockStarts_.end(), position);
    if (found == blockStarts_.begin())
        return runCount_;
    const std::size_t block = static_cast<std::size_t>(found - blockStarts_.begin() - 1);
    std::size_t run = block * runsPerBlock;
    const std::size_t blockEnd = std::min(runCount_, run + runsPerBlock);
    long distance;
    std::size_t offset = readRun(blockOffsets_[block], distance);
    for (long start = found[-1]; run + 1 < blockEnd; ++run) {
        offset = readRun(offset, distance);
        start += distance;
        if (start > position)
            break;
    }
    return run;
}
