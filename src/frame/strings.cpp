#include "frame/strings.h"

#include <cstdlib>
#include <cstring>
#include <new>

char *duplicateString(const char *s)
{
    size_t size = std::strlen(s) + 1;
    char *copy = static_cast<char *>(std::malloc(size));
    if (!copy)
        throw std::bad_alloc();
    std::memcpy(copy, s, size);
    return copy;
}

int isCommonPrefix(const char *a, const char *b)
{
    while (*a && *b) {
        if (*a != *b)
            return 0;
        ++a;
        ++b;
    }
    return 1;
}
