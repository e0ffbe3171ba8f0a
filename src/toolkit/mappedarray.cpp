#include "toolkit/mappedarray.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t hugePage = 2 * 1024 * 1024;
// Mappings of at least this size are kept when given back, at most this many and this much.
constexpr std::size_t keptFrom = hugePage;
constexpr std::size_t mostKeptBlocks = 4;
constexpr std::size_t mostKeptBytes = std::size_t(1) << 30;
// A kept mapping is handed to an array that grows past keptFrom while it holds no more than
// this: what it holds is copied over.
constexpr std::size_t mostCopied = 4 * hugePage;

std::size_t wholePages(std::size_t bytes)
{
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

struct Kept {
    void *block;
    std::size_t bytes;
    bool keptBefore; // already kept at the last releaseKeptBefore
};
std::vector<Kept> kept;

// The largest kept mapping, if it holds at least `bytes`; it is no longer kept.
bool takeKept(std::size_t bytes, Kept &taken)
{
    const auto largest =
        std::max_element(kept.begin(), kept.end(), [](const Kept &a, const Kept &b) { return a.bytes < b.bytes; });
    if (largest == kept.end() || largest->bytes < bytes)
        return false;
    taken = *largest;
    kept.erase(largest);
    return true;
}

} // namespace

namespace mapped {

void *grow(void *old, std::size_t oldBytes, std::size_t &newBytes)
{
    newBytes = wholePages(newBytes);
    Kept taken;
    if (newBytes >= keptFrom && oldBytes <= mostCopied && takeKept(newBytes, taken)) {
        if (old) {
            std::memcpy(taken.block, old, oldBytes);
            munmap(old, wholePages(oldBytes));
        }
        newBytes = taken.bytes;
        return taken.block;
    }
    void *block = old ? mremap(old, wholePages(oldBytes), newBytes, MREMAP_MAYMOVE)
                      : mmap(nullptr, newBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    // A large array is filled a page at a time as it grows: in pages of 2 MB, where the system
    // offers them, each first write costs one fault instead of five hundred (a third of the time
    // of keeping 100 MB of compiler output went to faults). Only whole pages of 2 MB get them, so
    // small arrays keep their small pages.
    if (newBytes >= hugePage)
        madvise(block, newBytes, MADV_HUGEPAGE);
    return block;
}

void release(void *block, std::size_t bytes)
{
    if (!block)
        return;
    bytes = wholePages(bytes);
    if (bytes < keptFrom || bytes > mostKeptBytes) {
        munmap(block, bytes);
        return;
    }
    kept.push_back({block, bytes, false});
    // Beyond the limits the smallest go.
    std::sort(kept.begin(), kept.end(), [](const Kept &a, const Kept &b) { return a.bytes > b.bytes; });
    std::size_t total = 0, count = 0;
    for (auto at = kept.begin(); at != kept.end();) {
        if (count < mostKeptBlocks && total + at->bytes <= mostKeptBytes) {
            total += at->bytes;
            ++count;
            ++at;
        } else {
            munmap(at->block, at->bytes);
            at = kept.erase(at);
        }
    }
}

void releaseKeptBefore()
{
    for (auto at = kept.begin(); at != kept.end();) {
        if (at->keptBefore) {
            munmap(at->block, at->bytes);
            at = kept.erase(at);
        } else {
            at->keptBefore = true;
            ++at;
        }
    }
}

} // namespace mapped
