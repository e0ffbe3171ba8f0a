#pragma once
// Checks whether bytes form valid UTF-8, all at once or piece by piece as they arrive.

#include <cstddef>

class Utf8Validator {
public:
    // Checks the next piece; a character may be split between pieces. Returns false from the
    // first invalid byte on (the validator stays invalid).
    bool feed(const char *bytes, std::size_t length);
    bool valid() const { return valid_; }
    // True when the bytes fed so far are valid and do not end inside a character.
    bool complete() const { return valid_ && pending_ == 0; }
    // True when the bytes fed so far end inside a character.
    bool insideCharacter() const { return pending_ != 0; }

private:
    bool valid_ = true;
    int pending_ = 0;          // continuation bytes still expected
    unsigned char low_ = 0x80; // allowed range of the next continuation byte
    unsigned char high_ = 0xBF;
};

// True when the bytes are one complete, valid UTF-8 text (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(const char *bytes, std::size_t length);
