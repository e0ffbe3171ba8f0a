#pragma once
// The X font names of the font chooser, composed from its three choices.

#include <cstddef>
#include <string>

// The settings of the "Set font" dialog, remembered until the program ends.
struct FontChoice {
    int foundry = 3; // 0 "fixed", 1 "clean", 2 "courier", 3 "lucidasanstypewriter"
    int weight = 0;  // 0 "bold", 1 "normal"
    int size = 3;    // 0 "8", 1 "10", 2 "12", 3 "14", 4 "16/18", 5 "16/24"
    bool setMain = true;
    bool setProject = false;
};

constexpr int foundryCount = 4;
constexpr int weightCount = 2;
constexpr int sizeCount = 6;
constexpr std::size_t longestFontName = 62;

extern const char *const foundryLabels[foundryCount];
extern const char *const weightLabels[weightCount];
extern const char *const sizeLabels[sizeCount];

// The X font name for the choice's foundry, weight and size: prefix, weight part and size part,
// except for "fixed", whose size part comes first and whose bold weight follows it ("6x10bold").
// "clean" has no 18 or 24 point face: both of the largest sizes give its 16-point one. Indices
// out of range give the empty name.
std::string composeFontName(const FontChoice &choice);
