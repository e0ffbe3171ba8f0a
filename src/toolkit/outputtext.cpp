#include "toolkit/outputtext.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr unsigned char escapeByte = 0x1B;
constexpr int tabColumns = 8;
// Longer sequences are not sequences a program meant: they end there, and what follows is text.
constexpr std::size_t longestControlSequence = 256;
constexpr std::size_t longestStringSequence = 4096;

const char *copyUntilEscape(const char *at, const char *end, char *&out, bool inPlace);

} // namespace

// --- Bytes and lines -------------------------------------------------------------------------

bool OutputText::append(const char *bytes, std::size_t count)
{
    if (count == 0)
        return true;
    // Room for the line index first, so that a failure leaves the text as it was.
    if (!samples_.reserveMore(count / sampleEvery + 1))
        return false;
    const std::size_t from = bytes_.size();
    if (!bytes_.append(bytes, count))
        return false;
    takeNewBytes(from);
    return true;
}

// Counts the lines that the bytes from `from` on begin, samples their starts, measures them and
// checks their UTF-8: one pass over the new bytes, sixteen at a time where the processor allows.
void OutputText::takeNewBytes(std::size_t from)
{
    const char *text = bytes_.data();
    const char *at = text + from;
    const char *const end = text + bytes_.size();
    const char *segment = at; // where the columns of the open line were last counted up to
    long tabs = 0;            // tabs between `segment` and `at`
    const auto endLine = [&](const char *lineEnd) {
        openColumns_ += (lineEnd - segment) + tabs * (tabColumns - 1);
        widestColumns_ = std::max(widestColumns_, openColumns_);
        openColumns_ = 0;
        tabs = 0;
        segment = lineEnd + 1;
        if (lines_++ % sampleEvery == 0)
            samples_.push_back(lineEnd + 1 - text); // room was made before
    };
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n'), tab = _mm_set1_epi8('\t');
    for (; end - at >= 16; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        // Bytes of ASCII alone leave a validator that is not inside a character as it was.
        if (validator_.insideCharacter()) {
            validator_.feed(at, 16);
        } else if (const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(block))) {
            const int first = __builtin_ctz(high);
            if (validator_.valid())
                validator_.feed(at + first, static_cast<std::size_t>(16 - first));
        }
        unsigned newlines = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newline)));
        unsigned tabBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, tab)));
        while (newlines != 0) {
            const int bit = __builtin_ctz(newlines);
            if (tabBits != 0) { // tabs are rare: no count of bits without them
                const unsigned before = (1u << bit) - 1;
                tabs += __builtin_popcount(tabBits & before);
                tabBits &= ~before;
            }
            endLine(at + bit);
            newlines &= newlines - 1;
        }
        if (tabBits != 0)
            tabs += __builtin_popcount(tabBits);
    }
#endif
    if (validator_.valid())
        validator_.feed(at, static_cast<std::size_t>(end - at));
    for (; at < end; ++at) {
        if (*at == '\t')
            ++tabs;
        else if (*at == '\n')
            endLine(at);
    }
    openColumns_ += (end - segment) + tabs * (tabColumns - 1);
    widestColumns_ = std::max(widestColumns_, openColumns_);
}

long OutputText::lineStart(long line) const
{
    line = std::clamp(line, 0L, lines_ - 1);
    const long sample = line / sampleEvery;
    long start = sample == 0 ? 0 : samples_[static_cast<std::size_t>(sample - 1)];
    for (long skipped = sample * sampleEvery; skipped < line; ++skipped)
        start = lineEndFrom(start) + 1;
    return start;
}

long OutputText::lineEndFrom(long start) const
{
    const long length = static_cast<long>(size());
    if (start >= length)
        return length;
    const void *newline = std::memchr(data() + start, '\n', static_cast<std::size_t>(length - start));
    return newline ? static_cast<const char *>(newline) - data() : length;
}

long OutputText::lineOf(long position) const
{
    position = std::clamp(position, 0L, static_cast<long>(size()));
    const long *found = std::upper_bound(samples_.begin(), samples_.end(), position);
    const long sample = found - samples_.begin();
    const long start = sample == 0 ? 0 : samples_[static_cast<std::size_t>(sample - 1)];
    return sample * sampleEvery + std::count(data() + start, data() + position, '\n');
}

// --- Escape sequences ------------------------------------------------------------------------

namespace {

// Copies the text before the next escape byte of [at, end) to `out`; returns where it stopped
// (the escape, or `end`). Sixteen bytes are copied at a time, each block whole: `out` has 16
// bytes of room beyond what the text needs. gcc colours short stretches, so most copies are a
// few bytes, too few for a call of memchr and memcpy each to pay. `inPlace`: `out` is `at` or
// before it in the same bytes, which then move down.
const char *copyUntilEscape(const char *at, const char *end, char *&out, bool inPlace)
{
    if (out == at) { // nothing to move
        const void *found = std::memchr(at, escapeByte, static_cast<std::size_t>(end - at));
        const char *stop = found ? static_cast<const char *>(found) : end;
        out += stop - at;
        return stop;
    }
#if defined(__SSE2__)
    const __m128i escape = _mm_set1_epi8(static_cast<char>(escapeByte));
    for (; end - at >= 16; at += 16, out += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, escape)));
        if (found == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out), block);
            continue;
        }
        const int before = __builtin_ctz(found);
        // In place, a whole block moved by less than its length would overwrite the bytes from
        // the escape on before they are read.
        if (!inPlace || at - out >= 16)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out), block);
        else
            std::memmove(out, at, static_cast<std::size_t>(before));
        out += before;
        return at + before;
    }
#endif
    const void *found = std::memchr(at, escapeByte, static_cast<std::size_t>(end - at));
    const char *stop = found ? static_cast<const char *>(found) : end;
    std::memmove(out, at, static_cast<std::size_t>(stop - at));
    out += stop - at;
    return stop;
}

} // namespace

char *OutputText::roomForProgramOutput(std::size_t count)
{
    return bytes_.reserveMore(count + 16) ? bytes_.spareRoom() : nullptr;
}

bool OutputText::appendProgramOutput(const char *bytes, std::size_t count)
{
    // The text is copied span by span between the sequences into the room after the text; its
    // lines and its UTF-8 are looked at once for the whole piece afterwards. The text is never
    // longer than the piece, so that a piece read into that room is taken in place: its text
    // moves down over the sequences taken out before it, and not at all before the first one.
    if (count == 0)
        return true;
    if (!samples_.reserveMore(count / sampleEvery + 1))
        return false;
    const bool inPlace = bytes == bytes_.spareRoom();
    if (!inPlace && !bytes_.reserveMore(count + 16))
        return false;
    const std::size_t from = bytes_.size();
    const char *const text = bytes_.data();
    char *out = bytes_.spareRoom(); // where the text goes on; bytes_ learns of it at the end
    const char *at = bytes;
    const char *const end = bytes + count;
    while (at < end) {
        if (sequence_ != Sequence::none) {
            // A sequence begun in an earlier piece, or one this piece does not hold whole.
            bytes_.grownInPlace(static_cast<std::size_t>(out - bytes_.spareRoom()));
            if (takeSequenceByte(static_cast<unsigned char>(*at)))
                ++at;
            else
                sequence_ = Sequence::none; // the byte is looked at again, as text
            continue;
        }
        // Sequences often follow each other ("\e[01;31m\e[K"): no copy between them.
        if (static_cast<unsigned char>(*at) != escapeByte) {
            at = copyUntilEscape(at, end, out, inPlace);
            if (at == end)
                break;
        }
        const long position = out - text;
        // gcc follows every colour sequence with "\e[K" (erase to the end of the line), and ends
        // each coloured stretch with "\e[m\e[K": most of its sequences are these.
        if (end - at >= 6 && std::memcmp(at, "\x1b[m\x1b[K", 6) == 0) {
            styles_.setStyleIndex(position, 0); // back to plain
            at += 6;
            continue;
        }
        if (end - at >= 3 && at[1] == '[') {
            if (at[2] == 'K') {
                at += 3;
                continue;
            }
            if (at[2] == 'm') {
                styles_.setStyleIndex(position, 0);
                at += 3;
                continue;
            }
        }
        const bool sixteen = end - at >= 16; // bytes to compare with a sequence seen lately
        if (sixteen) {
            if (const std::size_t seen = takeSeenSequence(at, position)) {
                at += seen;
                continue;
            }
        }
        const std::size_t before = styles_.currentIndex();
        bool settled = true;
        const std::size_t taken =
            takeWholeControlSequence(at + 1, static_cast<std::size_t>(end - at - 1), position, settled);
        if (taken == 0) {
            sequence_ = Sequence::escape;
            sequenceLength_ = 1;
        } else if (sixteen && settled) {
            rememberSequence(at, 1 + taken, before);
        }
        at += 1 + taken;
    }
    bytes_.grownInPlace(static_cast<std::size_t>(out - bytes_.spareRoom()));
    takeNewBytes(from);
    return true;
}

// The sequence at `at` (16 bytes readable) when it is one seen lately from the current style: its
// style is taken at `position` and its length returned. 0 when it is not.
std::size_t OutputText::takeSeenSequence(const char *at, long position)
{
    const std::size_t from = styles_.currentIndex();
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
#endif
    for (const SeenSequence &seen : seenSequences_) {
        if (seen.length == 0 || seen.from != from)
            continue;
#if defined(__SSE2__)
        const __m128i kept = _mm_loadu_si128(reinterpret_cast<const __m128i *>(seen.bytes));
        const unsigned same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, kept)));
        const unsigned wanted = (1u << seen.length) - 1;
        if ((same & wanted) != wanted)
            continue;
#else
        if (std::memcmp(at, seen.bytes, seen.length) != 0)
            continue;
#endif
        styles_.setStyleIndex(position, seen.to);
        return seen.length;
    }
    return 0;
}

// Keeps the sequence of `length` bytes at `at` (16 bytes readable), which led from the style
// `from` to the current one, together with gcc's "\e[K" after it.
void OutputText::rememberSequence(const char *at, std::size_t length, std::size_t from)
{
    if (length + 3 <= 16 && std::memcmp(at + length, "\x1b[K", 3) == 0)
        length += 3;
    if (length > 16)
        return;
    SeenSequence &seen = seenSequences_[nextSeen_++ % seenSequences_.size()];
    std::memcpy(seen.bytes, at, sizeof seen.bytes);
    seen.length = static_cast<std::uint8_t>(length);
    seen.from = from;
    seen.to = styles_.currentIndex();
}

// The common case: a control sequence ("\e[01;31m") that the piece holds whole, from after its
// escape, at `position` of the text. Returns how many bytes it took (0: none, the byte-wise
// reading goes on). `settled` becomes false when the sequence's colour could not be taken for want
// of memory: the same bytes may then have another effect later.
std::size_t OutputText::takeWholeControlSequence(const char *bytes, std::size_t count, long position, bool &settled)
{
    if (count < 2 || bytes[0] != '[')
        return 0;
    std::size_t at = 1;
    bool colour = true;
    std::uint64_t key = 0; // the first 8 bytes of the parameters as one number
    while (at < count && at < longestControlSequence && bytes[at] >= 0x30 && bytes[at] <= 0x3F) {
        const unsigned char byte = static_cast<unsigned char>(bytes[at]);
        colour = colour && (byte <= '9' || byte == ';' || byte == ':');
        if (at <= sizeof key)
            key |= static_cast<std::uint64_t>(byte) << (8 * (at - 1));
        ++at;
    }
    if (at >= count || bytes[at] < 0x40 || bytes[at] > 0x7E)
        return 0; // cut off, too long, or with intermediate bytes
    if (bytes[at] == 'm' && colour)
        settled = takeColour(std::string_view(bytes + 1, at - 1), key, position);
    return at + 1;
}

// `key`: the parameters' first 8 bytes as one number (as std::memcpy would give them); the colour
// holds from `position` of the text on. False when there was no memory for it.
bool OutputText::takeColour(std::string_view parameters, std::uint64_t key, long position)
{
    const std::size_t from = styles_.currentIndex();
    const bool remembered = parameters.size() <= sizeof(Transition::parameters);
    const std::uint64_t mixed = (key ^ (from * 0x9E3779B97F4A7C15ULL) ^ parameters.size()) * 0xFF51AFD7ED558CCDULL;
    Transition &seen = transitions_[(mixed >> 60) % transitions_.size()];
    if (remembered && seen.parameters == key && seen.from == from && seen.length == parameters.size())
        return styles_.setStyleIndex(position, seen.to);
    TextStyle style = styles_.current();
    applySgr(style, parameters);
    // Without memory for the run the text goes on in the style it had.
    if (!styles_.setStyle(position, style))
        return false;
    if (!remembered)
        return true;
    seen.from = from;
    seen.to = styles_.currentIndex();
    seen.length = static_cast<std::uint8_t>(parameters.size());
    seen.parameters = key;
    return true;
}

bool OutputText::takeSequenceByte(unsigned char byte)
{
    // A control character other than those that end strings cuts a sequence short: a line end
    // is never swallowed by a broken sequence.
    const bool control = byte < 0x20 || byte == 0x7F;
    const std::size_t limit = sequence_ == Sequence::string ? longestStringSequence : longestControlSequence;
    if (++sequenceLength_ > limit)
        return false;
    switch (sequence_) {
    case Sequence::escape:
        if (byte == '[') {
            sequence_ = Sequence::control;
            parameters_.clear();
            colourSequence_ = true;
        } else if (byte == ']' || byte == 'P' || byte == 'X' || byte == '^' || byte == '_') {
            sequence_ = Sequence::string;
        } else if (byte >= 0x20 && byte <= 0x2F) {
            sequence_ = Sequence::other;
        } else if (byte >= 0x30 && byte <= 0x7E) {
            sequence_ = Sequence::none;
        } else {
            return false;
        }
        return true;
    case Sequence::control:
        if (byte >= 0x30 && byte <= 0x3F) {
            colourSequence_ = colourSequence_ && (byte <= '9' || byte == ';' || byte == ':');
            parameters_ += static_cast<char>(byte);
        } else if (byte >= 0x20 && byte <= 0x2F) {
            colourSequence_ = false;
        } else if (byte >= 0x40 && byte <= 0x7E) {
            endSequence(byte);
        } else {
            return false;
        }
        return true;
    case Sequence::string:
        if (byte == 0x07)
            sequence_ = Sequence::none;
        else if (byte == escapeByte)
            sequence_ = Sequence::stringEscape;
        else if (control)
            return false;
        return true;
    case Sequence::stringEscape:
        if (byte == '\\') {
            sequence_ = Sequence::none;
            return true;
        }
        // The escape began another sequence.
        sequence_ = Sequence::escape;
        sequenceLength_ = 1;
        return takeSequenceByte(byte);
    case Sequence::other:
        if (byte >= 0x30 && byte <= 0x7E)
            sequence_ = Sequence::none;
        else if (byte < 0x20 || byte > 0x2F)
            return false;
        return true;
    case Sequence::none:
        break;
    }
    return false;
}

void OutputText::endSequence(unsigned char finalByte)
{
    sequence_ = Sequence::none;
    if (finalByte == 'm' && colourSequence_) {
        std::uint64_t key = 0;
        std::memcpy(&key, parameters_.data(), std::min(parameters_.size(), sizeof key));
        takeColour(parameters_, key, static_cast<long>(size()));
    }
}
