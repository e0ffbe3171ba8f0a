#include "toolkit/utf8check.h"

#include <cstdint>
#include <cstring>

bool Utf8Validator::feed(const char *bytes, std::size_t length)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    const unsigned char *end = p + length;
    while (valid_ && p < end) {
        if (pending_ == 0) {
            // Skip runs of ASCII eight bytes at a time: source text is mostly ASCII.
            while (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, 8);
                if (word & 0x8080808080808080ull)
                    break;
                p += 8;
            }
            if (p == end)
                break;
            const unsigned char c = *p++;
            low_ = 0x80;
            high_ = 0xBF;
            if (c < 0x80) {
                continue;
            } else if (c >= 0xC2 && c <= 0xDF) {
                pending_ = 1;
            } else if (c >= 0xE0 && c <= 0xEF) {
                pending_ = 2;
                if (c == 0xE0)
                    low_ = 0xA0; // overlong
                else if (c == 0xED)
                    high_ = 0x9F; // surrogates
            } else if (c >= 0xF0 && c <= 0xF4) {
                pending_ = 3;
                if (c == 0xF0)
                    low_ = 0x90; // overlong
                else if (c == 0xF4)
                    high_ = 0x8F; // above U+10FFFF
            } else {
                valid_ = false;
            }
        } else {
            const unsigned char c = *p++;
            if (c < low_ || c > high_) {
                valid_ = false;
                break;
            }
            low_ = 0x80;
            high_ = 0xBF;
            --pending_;
        }
    }
    return valid_;
}

bool isValidUtf8(const char *bytes, std::size_t length)
{
    Utf8Validator validator;
    validator.feed(bytes, length);
    return validator.complete();
}
