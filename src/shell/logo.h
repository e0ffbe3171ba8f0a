#pragma once
// The logo canvas at the left of the terminal, drawn with X requests in the colours of the
// colour table.
#include <vector>

class QWidget;
class XCanvas;
class XDrawing;
struct ColourRGB;

// The 16 colours of the logo, index to red, green and blue.
const std::vector<ColourRGB> &colourTable();

// The graphics context (font "fixed") that the logo is drawn with, made at start-up on the work
// area's window, and the X pixel values of the colour table.
extern XDrawing *logoGraphicsContext;
extern std::vector<unsigned long> colourPixels;

XCanvas *createLogoCanvas(QWidget *parent);
