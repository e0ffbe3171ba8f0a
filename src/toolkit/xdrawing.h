#pragma once
// Drawing with X core requests, for the logo: a canvas widget whose repaint procedure is given the X
// display and drawable, a graphics context whose font is the X font "fixed", and X pixel values for
// a table of colours. The rest of the program reaches Xlib only through this header and xfonts.h.

#include <QWidget>

#include <vector>

struct _XDisplay; // Xlib's Display

// The X display the program's windows are on; null when the program does not run on X.
_XDisplay *xDisplay();

// Whether the X server named `name` (as in DISPLAY; empty for none) accepts a connection. Opens
// one and closes it again.
bool x_display_answers(const char *name);

// A graphics context on one display. Its font is "fixed" when loadFixedFont() succeeded before it
// was made (the server's default font otherwise). Drawing goes to the current drawable, which may
// change to any drawable of the same screen and depth.
class XDrawing {
public:
    XDrawing(_XDisplay *display, unsigned long drawable);
    ~XDrawing();
    XDrawing(const XDrawing &) = delete;
    XDrawing &operator=(const XDrawing &) = delete;

    bool isValid() const { return gc_ != nullptr; }
    _XDisplay *display() const { return display_; }
    unsigned long drawable() const { return drawable_; }
    void setDrawable(unsigned long drawable) { drawable_ = drawable; }

    void setForeground(unsigned long pixel);
    void fillRectangle(int x, int y, unsigned width, unsigned height);
    // Angles in 1/64 degree, counter-clockwise from three o'clock, as X arcs take them.
    void fillArc(int x, int y, unsigned width, unsigned height, int startAngle, int extentAngle);
    // The baseline starts at (x, y).
    void drawString(int x, int y, const char *text, int length);
    void flush();

private:
    _XDisplay *display_;
    unsigned long drawable_;
    void *gc_ = nullptr; // Xlib's GC
};

struct ColourRGB {
    int red, green, blue; // 0 to 255
};

// Allocates the colours in the colour map of `widget`'s window (the screen's default map when it
// has no window yet) and returns their X pixel values, in order. A colour the map cannot take is
// given the closest black or white pixel.
std::vector<unsigned long> allocateColourPixels(QWidget *widget, const std::vector<ColourRGB> &colours);

class XCanvas;
// Called for every repaint with the canvas, the X display and the drawable to draw on.
using XCanvasRepaintProc = void (*)(XCanvas *canvas, _XDisplay *display, unsigned long drawable);

// A widget painted only by X requests: Qt leaves its window to the repaint procedure.
class XCanvas : public QWidget {
    Q_OBJECT
public:
    explicit XCanvas(XCanvasRepaintProc repaint, QWidget *parent = nullptr);
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    XCanvasRepaintProc repaint_;
};
