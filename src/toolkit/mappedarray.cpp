#include "toolkit/mappedarray.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

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
    return block == MAP_FAILED ? nullptr : block;
}

void release(void *block, std::size_t bytes)
{
    if (block)
        munmap(block, wholePages(bytes));
}

} // namespace mapped
