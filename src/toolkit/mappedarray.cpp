#include "toolkit/mappedarray.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::size_t hugePage = 2 * 1024 * 1024;

std::size_t wholePages(std::size_t bytes)
{
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

} // namespace

namespace mapped {

void *grow(void *old, std::size_t oldBytes, std::size_t newBytes)
{
    newBytes = wholePages(newBytes);
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
    if (block)
        munmap(block, wholePages(bytes));
}

} // namespace mapped
