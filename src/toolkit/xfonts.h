#pragma once
// X core fonts: finding a font by its X name, showing the same face in Qt widgets, and the X font
// "fixed" that the logo is drawn with.
//
// Qt draws through fontconfig, which by default rejects bitmap fonts. useXBitmapFonts() makes
// fontconfig in this process accept non-scalable fonts and adds the X font directories, so a QFont
// built from the server's full font name (family, foundry, weight, slant, width, pixel size) shows
// the very face the X server has. It runs on its own before main(); it has to run before Qt's font
// database is first used.

#include <QFont>

#include <string>

struct XFontFace {
    std::string name;     // the name it was found by
    std::string fullName; // the server's full XLFD name (the name itself when the server gives none)
    QFont font;           // the same face for Qt
    int pixelSize = 0;    // from the full name
    int charWidth = 0;    // the widest character, in pixels
    int ascent = 0;
    int descent = 0;
};

// Installs the fontconfig configuration described above; later calls do nothing.
// Returns whether the configuration is in place.
bool useXBitmapFonts();

// Whether the X server lists a font of this name (a pattern counts when it matches one).
bool xFontExists(const char *name);

// The font of this name, or null when the X server has none. Found fonts are kept for the whole
// run: the same name gives the same pointer.
const XFontFace *xv_find_font(const char *name);

// A QFont for an XLFD full name such as -misc-fixed-medium-r-semicondensed--13-120-75-75-c-60-iso8859-1.
// A name that is not a full XLFD name gives a QFont of that family.
QFont qfontFromXlfd(const std::string &fullName);

// Loads the X font "fixed" once; false when the server cannot load it (the program cannot start
// then). fixedFontId() is its X font id afterwards, 0 before or after a failure.
bool loadFixedFont();
unsigned long fixedFontId();
