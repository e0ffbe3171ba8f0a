#pragma once
// Two small string operations used across the program.

#include <string_view>

// A new heap string (malloc) equal to s; the caller frees it with free().
char *duplicateString(const char *s);

// 1 when the first n characters of a and b are equal, n being the smaller of the two lengths
// (so also when either is empty); 0 otherwise. It says that one is a prefix of the other,
// without saying which.
int isCommonPrefix(const char *a, const char *b);

// The same test on counted texts, which may hold any bytes.
inline bool isCommonPrefix(std::string_view a, std::string_view b)
{
    std::string_view::size_type n = a.size() < b.size() ? a.size() : b.size();
    return n == 0 || (a[0] == b[0] && a.compare(0, n, b, 0, n) == 0);
}
