#pragma once
// The product logo as a list of filled shapes and strings in colour-table indices, scaled to the
// width of the canvas it is drawn on.
#include <string>
#include <vector>

struct LogoShape {
    enum Kind { Rectangle, Arc, Text };
    Kind kind = Rectangle;
    int colour = 0;
    int x = 0, y = 0, width = 0, height = 0; // for Text: x, y is the baseline start
    int startAngle = 0, extentAngle = 0;     // arcs, in 1/64 degree
    std::string text;
};

// The scale of the drawing: (width - 50) / 170, the subtraction unsigned as the original drawing
// code has it.
float logoScale(unsigned canvasWidth);

// Every shape in drawing order. A canvas narrower than 50 pixels gets only the white background.
std::vector<LogoShape> logoShapes(unsigned canvasWidth, unsigned canvasHeight);
