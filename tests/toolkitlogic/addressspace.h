#pragma once
// Running out of memory on purpose, in a child process.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

// Limits the calling process's address space to what it uses now and `room` bytes more, so that
// allocations beyond fail (call it in a child process). False when the limit cannot be set.
inline bool limitAddressSpace(std::size_t room)
{
    long used = 0;
    FILE *status = fopen("/proc/self/status", "r");
    char line[256];
    while (status && fgets(line, sizeof line, status))
        if (strncmp(line, "VmSize:", 7) == 0)
            used = atol(line + 7) * 1024;
    if (status)
        fclose(status);
    const rlimit limit{static_cast<rlim_t>(used) + room, static_cast<rlim_t>(used) + room};
    return used > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
}
