#include "toolkit/xdrawing.h"
#include "toolkit/xfonts.h"
#include "support/waiting.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QScreen>
#include <gtest/gtest.h>

TEST(XFonts, FindsFontsTheServerHasAndOnlyThose)
{
    const XFontFace *fixed = xv_find_font("fixed");
    ASSERT_TRUE(fixed);
    EXPECT_EQ(xv_find_font("fixed"), fixed);
    EXPECT_EQ(fixed->fullName.front(), '-');
    EXPECT_FALSE(xv_find_font("no-such-font-anywhere"));
    EXPECT_FALSE(xFontExists("no-such-font-anywhere"));
    EXPECT_TRUE(xFontExists("6x10"));
    EXPECT_FALSE(xv_find_font(""));
}

TEST(XFonts, QtShowsTheSameFaceAsTheServer)
{
    for (const char *name : {"fixed", "7x14", "10x20"}) {
        const XFontFace *face = xv_find_font(name);
        ASSERT_TRUE(face) << name;
        QFontMetrics metrics(face->font);
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('M')), face->charWidth) << name;
        EXPECT_EQ(metrics.ascent(), face->ascent) << name;
        EXPECT_EQ(metrics.descent(), face->descent) << name;
    }
}

TEST(XFonts, FullNameGivesFamilyFoundryWeightAndPixelSize)
{
    QFont font = qfontFromXlfd("-adobe-courier-bold-o-normal--24-240-75-75-m-150-iso8859-1");
    EXPECT_EQ(font.family(), QStringLiteral("courier [adobe]"));
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_EQ(font.style(), QFont::StyleOblique);
    EXPECT_EQ(font.pixelSize(), 24);
    EXPECT_TRUE(font.fixedPitch());
    EXPECT_EQ(qfontFromXlfd("-misc-fixed-medium-r-semicondensed--13-120-75-75-c-60-iso8859-1").stretch(),
              QFont::SemiCondensed);
    EXPECT_EQ(qfontFromXlfd("lucidasanstypewriter-12").family(), QStringLiteral("lucidasanstypewriter-12"));
}

namespace {
std::vector<unsigned long> pixels;
void paintLogoParts(XCanvas *canvas, _XDisplay *display, unsigned long drawable)
{
    XDrawing drawing(display, drawable);
    drawing.setForeground(pixels[0]);
    drawing.fillRectangle(0, 0, static_cast<unsigned>(canvas->width()), static_cast<unsigned>(canvas->height()));
    drawing.setForeground(pixels[1]);
    drawing.fillRectangle(10, 10, 20, 20);
    drawing.setForeground(pixels[2]);
    drawing.fillArc(40, 0, 40, 40, 0, 90 * 64); // upper right quarter of the circle
    drawing.setForeground(pixels[3]);
    drawing.drawString(5, 60, "Vantrel", 7);
}
} // namespace

TEST(XDrawing, CanvasIsPaintedWithFixedFontAndAllocatedColours)
{
    ASSERT_TRUE(loadFixedFont());
    EXPECT_NE(fixedFontId(), 0u);
    QWidget window;
    window.resize(120, 80);
    XCanvas canvas(paintLogoParts, &window);
    canvas.setGeometry(0, 0, 100, 70);
    pixels = allocateColourPixels(&canvas, {{255, 255, 255}, {255, 0, 0}, {0, 0, 255}, {0, 128, 0}});
    ASSERT_EQ(pixels.size(), 4u);
    window.show();
    QImage image;
    auto painted = [&] {
        image = QApplication::primaryScreen()->grabWindow(canvas.winId()).toImage();
        return !image.isNull() && image.pixelColor(15, 15) == QColor(255, 0, 0);
    };
    ASSERT_TRUE(waitUntil(painted, 3000));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(70, 12), QColor(0, 0, 255));  // inside the quarter
    EXPECT_EQ(image.pixelColor(50, 12), QColor(255, 255, 255)); // the upper left quarter stays empty
    int greenColumns = 0;
    for (int x = 0; x < 100; ++x)
        for (int y = 48; y < 62; ++y)
            if (image.pixelColor(x, y) == QColor(0, 128, 0)) {
                ++greenColumns;
                break;
            }
    const XFontFace *fixed = xv_find_font("fixed");
    EXPECT_GT(greenColumns, 3 * fixed->charWidth); // text drawn, about seven cells wide
    EXPECT_LE(greenColumns, 7 * fixed->charWidth);
}
