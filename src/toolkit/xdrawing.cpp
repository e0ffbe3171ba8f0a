#include "toolkit/xdrawing.h"

#include "toolkit/xfonts.h"

#include <QX11Info>

#include <X11/Xlib.h>

_XDisplay *xDisplay()
{
    return QX11Info::isPlatformX11() ? QX11Info::display() : nullptr;
}

bool x_display_answers(const char *name)
{
    Display *display = XOpenDisplay(name && *name ? name : nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

XDrawing::XDrawing(_XDisplay *display, unsigned long drawable) : display_(display), drawable_(drawable)
{
    if (!display_ || !drawable_)
        return;
    XGCValues values;
    unsigned long mask = GCFillStyle;
    values.fill_style = FillSolid;
    if (fixedFontId()) {
        values.font = fixedFontId();
        mask |= GCFont;
    }
    gc_ = XCreateGC(display_, drawable_, mask, &values);
}

XDrawing::~XDrawing()
{
    if (gc_)
        XFreeGC(display_, static_cast<GC>(gc_));
}

void XDrawing::setForeground(unsigned long pixel)
{
    if (gc_)
        XSetForeground(display_, static_cast<GC>(gc_), pixel);
}

void XDrawing::fillRectangle(int x, int y, unsigned width, unsigned height)
{
    if (gc_ && drawable_)
        XFillRectangle(display_, drawable_, static_cast<GC>(gc_), x, y, width, height);
}

void XDrawing::fillArc(int x, int y, unsigned width, unsigned height, int startAngle, int extentAngle)
{
    if (gc_ && drawable_)
        XFillArc(display_, drawable_, static_cast<GC>(gc_), x, y, width, height, startAngle, extentAngle);
}

void XDrawing::drawString(int x, int y, const char *text, int length)
{
    if (gc_ && drawable_ && text && length > 0)
        XDrawString(display_, drawable_, static_cast<GC>(gc_), x, y, text, length);
}

void XDrawing::flush()
{
    if (display_)
        XFlush(display_);
}

std::vector<unsigned long> allocateColourPixels(QWidget *widget, const std::vector<ColourRGB> &colours)
{
    std::vector<unsigned long> pixels;
    Display *dpy = xDisplay();
    if (!dpy)
        return pixels;
    Colormap map = DefaultColormap(dpy, DefaultScreen(dpy));
    if (widget && widget->internalWinId()) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(dpy, widget->internalWinId(), &attributes) && attributes.colormap != None)
            map = attributes.colormap;
    }
    for (const ColourRGB &colour : colours) {
        XColor entry;
        entry.red = static_cast<unsigned short>(colour.red * 257);
        entry.green = static_cast<unsigned short>(colour.green * 257);
        entry.blue = static_cast<unsigned short>(colour.blue * 257);
        entry.flags = DoRed | DoGreen | DoBlue;
        if (XAllocColor(dpy, map, &entry)) {
            pixels.push_back(entry.pixel);
        } else {
            bool light = colour.red + colour.green + colour.blue >= 3 * 128;
            int screen = DefaultScreen(dpy);
            pixels.push_back(light ? WhitePixel(dpy, screen) : BlackPixel(dpy, screen));
        }
    }
    return pixels;
}

XCanvas::XCanvas(XCanvasRepaintProc repaint, QWidget *parent) : QWidget(parent), repaint_(repaint)
{
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void XCanvas::paintEvent(QPaintEvent *)
{
    Display *dpy = xDisplay();
    if (repaint_ && dpy && internalWinId()) {
        repaint_(this, dpy, internalWinId());
        XFlush(dpy);
    }
}
