#include "shell/logo.h"

#include "shell/logoshapes.h"
#include "toolkit/xdrawing.h"

XDrawing *logoGraphicsContext;
std::vector<unsigned long> colourPixels;

const std::vector<ColourRGB> &colourTable()
{
    static const std::vector<ColourRGB> table = {
        {255, 255, 255}, {255, 0, 0},   {0, 255, 0},   {0, 0, 255},   {255, 255, 0}, {188, 143, 143},
        {200, 200, 200}, {0, 0, 0},     {255, 128, 0}, {0, 128, 0},   {128, 0, 0},   {0, 0, 128},
        {96, 0, 128},    {0, 64, 0},    {64, 0, 0},    {0, 0, 64},
    };
    return table;
}

namespace {

void drawLogo(XCanvas *canvas, _XDisplay *, unsigned long drawable)
{
    if (!logoGraphicsContext || colourPixels.size() < colourTable().size())
        return;
    XDrawing &gc = *logoGraphicsContext;
    gc.setDrawable(drawable);
    int colour = -1;
    for (const LogoShape &shape : logoShapes(static_cast<unsigned>(canvas->width()),
                                             static_cast<unsigned>(canvas->height()))) {
        if (shape.colour != colour) {
            colour = shape.colour;
            gc.setForeground(colourPixels[static_cast<size_t>(colour)]);
        }
        switch (shape.kind) {
        case LogoShape::Rectangle:
            gc.fillRectangle(shape.x, shape.y, static_cast<unsigned>(shape.width), static_cast<unsigned>(shape.height));
            break;
        case LogoShape::Arc:
            gc.fillArc(shape.x, shape.y, static_cast<unsigned>(shape.width), static_cast<unsigned>(shape.height),
                       shape.startAngle, shape.extentAngle);
            break;
        case LogoShape::Text:
            gc.drawString(shape.x, shape.y, shape.text.c_str(), static_cast<int>(shape.text.size()));
            break;
        }
    }
    gc.flush();
}

} // namespace

XCanvas *createLogoCanvas(QWidget *parent)
{
    auto *canvas = new XCanvas(drawLogo, parent);
    canvas->setObjectName("LogoCanvas");
    return canvas;
}
