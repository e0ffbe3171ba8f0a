// Edit records, their frames and their replay.
#include "toolkit/editjournal.h"

#include <algorithm>
#include <cstring>

const char journalMagic[] = "tsl recovery journal 1\n";

namespace {

constexpr char headerKind = 'H';
constexpr char editKind = 'E';
constexpr char insertRecord = 'i';
constexpr char eraseRecord = 'e';
constexpr std::size_t frameHead = 1 + 4 + 8;

void putNumber(std::string &out, std::uint64_t value)
{
    while (value >= 0x80) {
        out += static_cast<char>(0x80 | (value & 0x7F));
        value >>= 7;
    }
    out += static_cast<char>(value);
}

void putText(std::string &out, std::string_view text)
{
    putNumber(out, text.size());
    out.append(text.data(), text.size());
}

void putFixed(std::string &out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t getFixed(const char *in, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    return value;
}

// Reads from a byte range; every read fails once the range is used up or malformed.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool atEnd() const { return at_ == bytes_.size(); }
    std::size_t left() const { return bytes_.size() - at_; }
    bool byte(char &value)
    {
        if (at_ >= bytes_.size())
            return false;
        value = bytes_[at_++];
        return true;
    }
    bool number(std::uint64_t &value)
    {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            char c;
            if (!byte(c))
                return false;
            value |= static_cast<std::uint64_t>(c & 0x7F) << shift;
            if (!(c & 0x80))
                return true;
        }
        return false;
    }
    bool text(std::string &value)
    {
        std::uint64_t length;
        if (!number(length) || length > left())
            return false;
        value.assign(bytes_.data() + at_, static_cast<std::size_t>(length));
        at_ += static_cast<std::size_t>(length);
        return true;
    }
    bool span(std::uint64_t length, const char *&start)
    {
        if (length > left())
            return false;
        start = bytes_.data() + at_;
        at_ += static_cast<std::size_t>(length);
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

std::string frame(char kind, std::string_view payload)
{
    std::string out;
    out.reserve(frameHead + payload.size());
    out += kind;
    putFixed(out, payload.size(), 4);
    putFixed(out, contentHash(payload.data(), payload.size()), 8);
    out.append(payload.data(), payload.size());
    return out;
}

// The next whole, undamaged frame of `file` from `at`; false at the end or at damage.
bool nextFrame(std::string_view file, std::size_t &at, char &kind, std::string_view &payload)
{
    if (file.size() - at < frameHead)
        return false;
    kind = file[at];
    const std::uint64_t length = getFixed(file.data() + at + 1, 4);
    const std::uint64_t hash = getFixed(file.data() + at + 5, 8);
    if (length > file.size() - at - frameHead)
        return false;
    payload = file.substr(at + frameHead, static_cast<std::size_t>(length));
    if (contentHash(payload.data(), payload.size()) != hash)
        return false;
    at += frameHead + static_cast<std::size_t>(length);
    return true;
}

// One record: 1 applied, 0 at a record cut short at the end, -1 malformed or not fitting.
template <typename Apply>
int nextRecord(Reader &in, long &length, Apply apply)
{
    char kind;
    std::uint64_t position, count;
    if (!in.byte(kind))
        return 0;
    if (kind != insertRecord && kind != eraseRecord)
        return -1;
    if (!in.number(position) || !in.number(count))
        return 0;
    if (kind == insertRecord) {
        const char *bytes = nullptr;
        if (!in.span(count, bytes))
            return 0;
        if (position > static_cast<std::uint64_t>(length) || count > static_cast<std::uint64_t>(0x7FFFFFFF))
            return -1;
        apply(kind, static_cast<long>(position), bytes, static_cast<long>(count));
        length += static_cast<long>(count);
        return 1;
    }
    if (position > static_cast<std::uint64_t>(length) || count > static_cast<std::uint64_t>(length) - position)
        return -1;
    apply(kind, static_cast<long>(position), nullptr, static_cast<long>(count));
    length -= static_cast<long>(count);
    return 1;
}

template <typename Apply>
bool walkEdits(std::string_view records, long length, Apply apply)
{
    Reader in(records);
    for (;;) {
        const int got = nextRecord(in, length, apply);
        if (got <= 0)
            return got == 0;
    }
}

} // namespace

// --- Recording -------------------------------------------------------------------------------

void EditRecorder::beginRecord()
{
    recorded_ = true;
}

void EditRecorder::inserted(long position, const char *bytes, long length)
{
    if (length <= 0)
        return;
    const bool wasIdle = pending_.size() == taken_;
    beginRecord();
    pending_ += insertRecord;
    putNumber(pending_, static_cast<std::uint64_t>(position));
    putNumber(pending_, static_cast<std::uint64_t>(length));
    pending_.append(bytes, static_cast<std::size_t>(length));
    if (wasIdle && wake_)
        wake_();
}

void EditRecorder::erased(long position, long length)
{
    if (length <= 0)
        return;
    const bool wasIdle = pending_.size() == taken_;
    beginRecord();
    pending_ += eraseRecord;
    putNumber(pending_, static_cast<std::uint64_t>(position));
    putNumber(pending_, static_cast<std::uint64_t>(length));
    if (wasIdle && wake_)
        wake_();
}

void EditRecorder::restart()
{
    dropPending();
    if (recorded_)
        ++generation_;
    recorded_ = false;
    if (wake_)
        wake_();
}

void EditRecorder::taken(std::size_t count)
{
    taken_ = std::min(pending_.size(), taken_ + count);
    if (taken_ == pending_.size())
        dropPending();
}

void EditRecorder::dropPending()
{
    // A large buffer (a whole text put in at once) is given back; a small one is kept for reuse.
    if (pending_.capacity() > (1U << 20))
        std::string().swap(pending_);
    else
        pending_.clear();
    taken_ = 0;
}

// --- Replay ----------------------------------------------------------------------------------

bool replayEdits(std::string_view records, EditTarget &target)
{
    return walkEdits(records, target.length(), [&target](char kind, long position, const char *bytes, long count) {
        if (kind == insertRecord)
            target.insert(position, bytes, count);
        else
            target.erase(position, count);
    });
}

bool editsFit(std::string_view records, long length)
{
    return walkEdits(records, length, [](char, long, const char *, long) {});
}

long countEdits(std::string_view records)
{
    long count = 0;
    walkEdits(records, 0x7FFFFFFF, [&count](char, long, const char *, long) { ++count; });
    return count;
}

// --- Journal files ---------------------------------------------------------------------------

std::string journalStart(const JournalHeader &header)
{
    std::string payload;
    putNumber(payload, static_cast<std::uint64_t>(header.pid));
    putNumber(payload, header.processStart);
    putText(payload, header.file);
    const FileStamp &s = header.stored;
    putNumber(payload, s.exists ? 1 : 0);
    putNumber(payload, s.device);
    putNumber(payload, s.inode);
    putNumber(payload, s.size);
    putNumber(payload, static_cast<std::uint64_t>(s.modifiedSeconds));
    putNumber(payload, static_cast<std::uint64_t>(s.modifiedNanoseconds));
    putNumber(payload, s.hashed ? 1 : 0);
    putNumber(payload, s.hash);
    putText(payload, header.baseCopy);
    return journalMagic + frame(headerKind, payload);
}

std::string journalEditFrame(std::string_view records)
{
    return frame(editKind, records);
}

bool readJournal(std::string_view file, JournalHeader &header, std::string &records)
{
    const std::size_t magicLength = std::strlen(journalMagic);
    records.clear();
    if (file.substr(0, magicLength) != journalMagic)
        return false;
    std::size_t at = magicLength;
    char kind;
    std::string_view payload;
    if (!nextFrame(file, at, kind, payload) || kind != headerKind)
        return false;
    Reader in(payload);
    std::uint64_t pid, exists, seconds, nanoseconds, hashed;
    FileStamp &s = header.stored;
    if (!in.number(pid) || !in.number(header.processStart) || !in.text(header.file) || !in.number(exists) ||
        !in.number(s.device) || !in.number(s.inode) || !in.number(s.size) || !in.number(seconds) ||
        !in.number(nanoseconds) || !in.number(hashed) || !in.number(s.hash) || !in.text(header.baseCopy) ||
        !in.atEnd())
        return false;
    header.pid = static_cast<long>(pid);
    s.exists = exists != 0;
    s.modifiedSeconds = static_cast<std::int64_t>(seconds);
    s.modifiedNanoseconds = static_cast<std::int64_t>(nanoseconds);
    s.hashed = hashed != 0;
    while (nextFrame(file, at, kind, payload) && kind == editKind)
        records.append(payload.data(), payload.size());
    return true;
}
