// File stamps and the content hash they carry.
#include "toolkit/filestamp.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint64_t prime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t prime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t prime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t prime4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t prime5 = 0x27D4EB2F165667C5ULL;

inline std::uint64_t rotate(std::uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

inline std::uint64_t load64(const unsigned char *bytes)
{
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline std::uint64_t round(std::uint64_t lane, std::uint64_t input)
{
    return rotate(lane + input * prime2, 31) * prime1;
}

inline std::uint64_t mixLane(std::uint64_t hash, std::uint64_t lane)
{
    return (hash ^ round(0, lane)) * prime1 + prime4;
}

} // namespace

ContentHash::ContentHash() : lanes_{prime1 + prime2, prime2, 0, 0 - prime1} {}

void ContentHash::stripe(const unsigned char *bytes)
{
    for (int lane = 0; lane < 4; ++lane)
        lanes_[lane] = round(lanes_[lane], load64(bytes + 8 * lane));
}

void ContentHash::feed(const char *bytes, std::size_t length)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes);
    total_ += length;
    if (tailLength_ > 0) {
        const std::size_t taken = std::min(length, sizeof tail_ - tailLength_);
        std::memcpy(tail_ + tailLength_, in, taken);
        tailLength_ += taken;
        in += taken;
        length -= taken;
        if (tailLength_ < sizeof tail_)
            return;
        stripe(tail_);
        tailLength_ = 0;
    }
    for (; length >= 32; in += 32, length -= 32)
        stripe(in);
    std::memcpy(tail_, in, length);
    tailLength_ = length;
}

std::uint64_t ContentHash::value() const
{
    std::uint64_t hash = rotate(lanes_[0], 1) + rotate(lanes_[1], 7) + rotate(lanes_[2], 12) + rotate(lanes_[3], 18);
    for (const std::uint64_t lane : lanes_)
        hash = mixLane(hash, lane);
    hash += total_;
    std::size_t at = 0;
    for (; at + 8 <= tailLength_; at += 8)
        hash = rotate(hash ^ round(0, load64(tail_ + at)), 27) * prime1 + prime4;
    for (; at < tailLength_; ++at)
        hash = rotate(hash ^ (tail_[at] * prime5), 11) * prime1;
    hash ^= hash >> 33;
    hash *= prime2;
    hash ^= hash >> 29;
    hash *= prime3;
    hash ^= hash >> 32;
    return hash;
}

std::uint64_t contentHash(const char *bytes, std::size_t length)
{
    ContentHash hash;
    hash.feed(bytes, length);
    return hash.value();
}

FileStamp fileStampOf(const struct stat &status)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(status.st_dev);
    stamp.inode = static_cast<std::uint64_t>(status.st_ino);
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    stamp.modifiedSeconds = status.st_mtim.tv_sec;
    stamp.modifiedNanoseconds = status.st_mtim.tv_nsec;
    return stamp;
}

FileStamp fileStampNow(const std::string &name, bool withHash)
{
    // Without waiting: a named pipe put in the file's place would otherwise hold the window.
    const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return FileStamp();
    struct stat status;
    FileStamp stamp;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        stamp = fileStampOf(status);
        if (withHash) {
            std::vector<char> buffer(1 << 20);
            ContentHash hash;
            for (;;) {
                const ssize_t n = read(fd, buffer.data(), buffer.size());
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    stamp = FileStamp();
                    break;
                }
                if (n == 0) {
                    stamp.hashed = true;
                    stamp.hash = hash.value();
                    break;
                }
                hash.feed(buffer.data(), static_cast<std::size_t>(n));
            }
        }
    }
    close(fd);
    return stamp;
}
