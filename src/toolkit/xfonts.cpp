#include "toolkit/xfonts.h"

#include <QX11Info>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace {

const char bitmapFontConfiguration[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/X11/misc</dir>
  <dir>/usr/share/fonts/X11/75dpi</dir>
  <dir>/usr/share/fonts/X11/100dpi</dir>
  <selectfont>
    <acceptfont>
      <pattern><patelt name="scalable"><bool>false</bool></patelt></pattern>
    </acceptfont>
  </selectfont>
</fontconfig>
)";

// Before main, so that Qt's font database sees the bitmap fonts however the program starts.
[[maybe_unused]] const bool bitmapFontsInstalled = useXBitmapFonts();

Display *display()
{
    return QX11Info::isPlatformX11() ? QX11Info::display() : nullptr;
}

std::vector<std::string> splitXlfd(const std::string &name)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(name);
    while (std::getline(in, field, '-'))
        fields.push_back(field);
    if (!name.empty() && name.back() == '-')
        fields.push_back(std::string());
    return fields;
}

int weightFromXlfd(const std::string &weight)
{
    if (weight == "thin" || weight == "extralight" || weight == "ultralight")
        return QFont::ExtraLight;
    if (weight == "light")
        return QFont::Light;
    if (weight == "demibold" || weight == "semibold" || weight == "demi")
        return QFont::DemiBold;
    if (weight == "bold")
        return QFont::Bold;
    if (weight == "extrabold" || weight == "ultrabold" || weight == "heavy" || weight == "black")
        return QFont::Black;
    return QFont::Normal; // medium, regular, book, normal
}

int stretchFromXlfd(const std::string &width)
{
    if (width == "ultracondensed")
        return QFont::UltraCondensed;
    if (width == "extracondensed")
        return QFont::ExtraCondensed;
    if (width == "condensed" || width == "narrow")
        return QFont::Condensed;
    if (width == "semicondensed")
        return QFont::SemiCondensed;
    if (width == "semiexpanded")
        return QFont::SemiExpanded;
    if (width == "expanded" || width == "wide")
        return QFont::Expanded;
    return QFont::Unstretched;
}

std::string lowered(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// The server's full name of a font it has, or the empty string.
std::string serverFullName(Display *dpy, XFontStruct *info)
{
    unsigned long atom = 0;
    if (!XGetFontProperty(info, XA_FONT, &atom) || atom == 0)
        return std::string();
    char *name = XGetAtomName(dpy, static_cast<Atom>(atom));
    if (!name)
        return std::string();
    std::string full = name;
    XFree(name);
    return full;
}

XFontStruct *fixedFont = nullptr;
bool fixedFontTried = false;

} // namespace

bool useXBitmapFonts()
{
    static bool done = false;
    static bool installed = false;
    if (done)
        return installed;
    done = true;
    FcConfig *config = FcInitLoadConfig();
    if (!config)
        return false;
    if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(bitmapFontConfiguration), FcTrue) ||
        !FcConfigBuildFonts(config) || !FcConfigSetCurrent(config)) {
        FcConfigDestroy(config);
        return false;
    }
    FcConfigDestroy(config); // the current configuration holds its own reference
    installed = true;
    return installed;
}

bool xFontExists(const char *name)
{
    Display *dpy = display();
    if (!dpy || !name || !*name)
        return false;
    int count = 0;
    char **names = XListFonts(dpy, name, 1, &count);
    if (names)
        XFreeFontNames(names);
    return count > 0;
}

QFont qfontFromXlfd(const std::string &fullName)
{
    QFont font;
    std::vector<std::string> fields = splitXlfd(fullName);
    if (fields.size() != 15 || !fields[0].empty()) {
        font.setFamily(QString::fromStdString(fullName));
        return font;
    }
    const std::string &foundry = fields[1];
    QString family = QString::fromStdString(fields[2]);
    if (!foundry.empty())
        family += QStringLiteral(" [") + QString::fromStdString(foundry) + QStringLiteral("]");
    font.setFamily(family);
    font.setWeight(weightFromXlfd(lowered(fields[3])));
    std::string slant = lowered(fields[4]);
    font.setStyle(slant == "i" ? QFont::StyleItalic : slant == "o" ? QFont::StyleOblique : QFont::StyleNormal);
    font.setStretch(stretchFromXlfd(lowered(fields[5])));
    int pixels = atoi(fields[7].c_str());
    if (pixels > 0)
        font.setPixelSize(pixels);
    std::string spacing = lowered(fields[11]);
    font.setFixedPitch(spacing == "c" || spacing == "m");
    if (font.fixedPitch())
        font.setStyleHint(QFont::TypeWriter);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferBitmap | QFont::NoAntialias));
    return font;
}

const XFontFace *xv_find_font(const char *name)
{
    static std::map<std::string, std::unique_ptr<XFontFace>> found;
    if (!name || !*name)
        return nullptr;
    auto it = found.find(name);
    if (it != found.end())
        return it->second.get();
    Display *dpy = display();
    if (!dpy)
        return nullptr;
    // The font's bounds and properties without its glyphs' metrics, which loading it would send
    // for every glyph (tens of thousands in an iso10646 font), in one request.
    int count = 0;
    XFontStruct *info = nullptr;
    char **names = XListFontsWithInfo(dpy, name, 1, &count, &info);
    if (!names || count < 1 || !info) {
        if (names)
            XFreeFontInfo(names, info, count);
        return nullptr;
    }
    auto face = std::make_unique<XFontFace>();
    face->name = name;
    face->fullName = serverFullName(dpy, info);
    if (face->fullName.empty())
        face->fullName = name;
    face->charWidth = info->max_bounds.width;
    face->ascent = info->ascent;
    face->descent = info->descent;
    XFreeFontInfo(names, info, count);
    face->font = qfontFromXlfd(face->fullName);
    face->pixelSize = face->font.pixelSize() > 0 ? face->font.pixelSize() : face->ascent + face->descent;
    const XFontFace *result = face.get();
    found[name] = std::move(face);
    return result;
}

bool loadFixedFont()
{
    if (fixedFontTried)
        return fixedFont != nullptr;
    fixedFontTried = true;
    Display *dpy = display();
    fixedFont = dpy ? XLoadQueryFont(dpy, "fixed") : nullptr;
    return fixedFont != nullptr;
}

unsigned long fixedFontId()
{
    return fixedFont ? fixedFont->fid : 0;
}
