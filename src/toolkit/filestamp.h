#pragma once
// What a file was at a given moment: where it lay (device and inode), its size and modification
// time, and a hash of its bytes. A text pane keeps the stamp of the file it loaded or last stored,
// so that a change made by another program can be told, and a recovery journal names the text
// its edits apply to.
#include <cstddef>
#include <cstdint>
#include <string>

struct stat;

// A 64-bit hash of bytes handed in pieces of any size: the same bytes give the same value however
// they are cut. Fast (several GB/s), not cryptographic.
class ContentHash {
public:
    ContentHash();
    void feed(const char *bytes, std::size_t length);
    std::uint64_t value() const;

private:
    void stripe(const unsigned char *bytes);

    std::uint64_t lanes_[4];
    unsigned char tail_[32];
    std::size_t tailLength_ = 0;
    std::uint64_t total_ = 0;
};

std::uint64_t contentHash(const char *bytes, std::size_t length);

struct FileStamp {
    bool exists = false; // false: no file (the fields below are 0)
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool hashed = false; // whether `hash` holds the hash of the bytes
    std::uint64_t hash = 0;

    // Same place, size and modification time (the hash is not compared).
    bool sameStatus(const FileStamp &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
               modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
    }
};

// The place, size and time of a status, without a hash.
FileStamp fileStampOf(const struct stat &status);
// The stamp of the file `name` now (following links); with `withHash` its bytes are read and
// hashed too. A file that does not exist, or cannot be read when the hash is asked for, gives a
// stamp with `exists` false.
FileStamp fileStampNow(const std::string &name, bool withHash);
