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
bool isCommonPrefix(std::string_view a, std::string_view b);
