#include "shell/logoshapes.h"

namespace {

struct ArcRow {
    int colour, x, y, w, h, start, extent;
};
struct RectRow {
    int colour, x, y, w, h;
};

// The rainbow: eight bands sharing x, height and angles.
const ArcRow rainbow[] = {
    {10, -10, 15, 425, 140, 5750, 3833}, {8, -10, 20, 400, 140, 5750, 3833},
    {4, -10, 25, 375, 140, 5750, 3833},  {2, -10, 30, 350, 140, 5750, 3833},
    {9, -10, 35, 325, 140, 5750, 3833},  {3, -10, 40, 300, 140, 5750, 3833},
    {11, -10, 45, 275, 140, 5750, 3833}, {15, -10, 50, 250, 140, 5750, 3833},
};

const ArcRow emblemArcs[] = {
    {0, 114, 20, 60, 40, 0, 17300},     {0, 114, 50, 60, 40, 11550, 17300}, {7, 116, 22, 58, 38, 0, 17300},
    {7, 116, 52, 58, 38, 11550, 17300}, {0, 129, 30, 32, 22, 0, 23500},     {0, 129, 60, 32, 22, 0, 23500},
    {2, 117, 24, 45, 30, 19650, 3250},  {2, 128, 30, 30, 20, 0, 23500},     {2, 128, 60, 30, 20, 0, 23500},
    {9, 128, 30, 30, 20, 10000, 9800},  {3, 128, 30, 30, 20, 11200, 5150},  {3, 128, 60, 30, 20, 6300, 10200},
    {9, 128, 60, 30, 20, 16300, 3600},  {9, 128, 60, 30, 20, 2800, 2800},
};

const RectRow emblemRectangles[] = {
    {9, 131, 36, 20, 5}, {9, 140, 36, 12, 13}, {9, 148, 36, 4, 14}, {9, 141, 61, 4, 18}, {9, 143, 65, 10, 12},
};

} // namespace

float logoScale(unsigned canvasWidth)
{
    return static_cast<float>(canvasWidth - 50u) / 170.0f;
}

std::vector<LogoShape> logoShapes(unsigned canvasWidth, unsigned canvasHeight)
{
    std::vector<LogoShape> shapes;
    LogoShape background;
    background.width = static_cast<int>(canvasWidth);
    background.height = static_cast<int>(canvasHeight);
    shapes.push_back(background);
    if (canvasWidth < 50)
        return shapes;

    const float s = logoScale(canvasWidth);
    auto scaled = [s](int k) { return static_cast<int>(s * static_cast<float>(k)); };
    auto arc = [&](const ArcRow &r) {
        LogoShape shape;
        shape.kind = LogoShape::Arc;
        shape.colour = r.colour;
        shape.x = scaled(r.x);
        shape.y = scaled(r.y);
        shape.width = scaled(r.w);
        shape.height = scaled(r.h);
        shape.startAngle = r.start;
        shape.extentAngle = r.extent;
        shapes.push_back(shape);
    };
    auto rectangle = [&](const RectRow &r) {
        LogoShape shape;
        shape.colour = r.colour;
        shape.x = scaled(r.x);
        shape.y = scaled(r.y);
        shape.width = scaled(r.w);
        shape.height = scaled(r.h);
        shapes.push_back(shape);
    };
    auto text = [&](int x, int y, const char *t) {
        LogoShape shape;
        shape.kind = LogoShape::Text;
        shape.colour = 4;
        shape.x = scaled(x);
        shape.y = scaled(y);
        shape.text = t;
        shapes.push_back(shape);
    };

    for (const ArcRow &band : rainbow)
        arc(band);
    rectangle({15, 8, 80, 111, 52});
    text(7, 95, "  Vantrel");
    text(10, 110, "   Tessa");
    text(7, 125, "   Lumbrel");
    for (const ArcRow &r : emblemArcs)
        arc(r);
    for (const RectRow &r : emblemRectangles)
        rectangle(r);
    return shapes;
}
