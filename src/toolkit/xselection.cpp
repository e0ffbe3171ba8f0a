#include "toolkit/xselection.h"

#include <QX11Info>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <climits>
#include <poll.h>

namespace {

struct Connection {
    Display *display = nullptr;
    Window window = 0;
    Atom utf8String = 0, incr = 0, property = 0, deleteTarget = 0, deleteProperty = 0;

    Connection()
    {
        if (!QX11Info::isPlatformX11())
            return;
        Display *qtDisplay = QX11Info::display();
        display = XOpenDisplay(qtDisplay ? DisplayString(qtDisplay) : nullptr);
        if (!display)
            return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(display, window, PropertyChangeMask);
        utf8String = XInternAtom(display, "UTF8_STRING", False);
        incr = XInternAtom(display, "INCR", False);
        property = XInternAtom(display, "TSL_SELECTION", False);
        deleteTarget = XInternAtom(display, "DELETE", False);
        deleteProperty = XInternAtom(display, "TSL_DELETE", False);
    }
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
};

Connection &connection()
{
    static Connection instance;
    return instance;
}

using Clock = std::chrono::steady_clock;

// Waits for an event of the given type on our window, until the deadline.
bool waitFor(Display *display, Window window, int type, Clock::time_point deadline, XEvent &event)
{
    for (;;) {
        while (XPending(display)) {
            XNextEvent(display, &event);
            if (event.type == type && event.xany.window == window)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd watch{ConnectionNumber(display), POLLIN, 0};
        poll(&watch, 1, static_cast<int>(left.count()));
    }
}

// Reads and deletes our property; returns its type (None when there is none).
Atom takeProperty(Connection &c, std::string &bytes)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(c.display, c.window, c.property, 0, LONG_MAX / 4, True, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success)
        return None;
    if (data && type != c.incr && format == 8)
        bytes.append(reinterpret_cast<char *>(data), count);
    if (data)
        XFree(data);
    return type;
}

enum class Conversion { Done, Refused, Failed };

Conversion convert(Connection &c, Atom target, std::string &bytes, int timeoutMs)
{
    const auto step = std::chrono::milliseconds(timeoutMs);
    XConvertSelection(c.display, XA_PRIMARY, target, c.property, c.window, CurrentTime);
    XFlush(c.display);
    XEvent event;
    // The answer to a delete request sent earlier may still come in: wait for this target's.
    const auto deadline = Clock::now() + step;
    do {
        if (!waitFor(c.display, c.window, SelectionNotify, deadline, event))
            return Conversion::Failed;
    } while (event.xselection.target != target);
    if (event.xselection.property == None)
        return Conversion::Refused;
    bytes.clear();
    if (takeProperty(c, bytes) != c.incr)
        return Conversion::Done;
    // Incremental transfer: deleting the property asked for the first piece; each new value
    // is one piece, and an empty one ends it.
    for (;;) {
        if (!waitFor(c.display, c.window, PropertyNotify, Clock::now() + step, event))
            return Conversion::Failed;
        if (event.xproperty.atom != c.property || event.xproperty.state != PropertyNewValue)
            continue;
        const size_t before = bytes.size();
        takeProperty(c, bytes);
        if (bytes.size() == before)
            return Conversion::Done;
    }
}

} // namespace

bool xSelectionAvailable()
{
    return connection().display != nullptr;
}

bool xPrimaryHasOwner()
{
    Connection &c = connection();
    return c.display && XGetSelectionOwner(c.display, XA_PRIMARY) != None;
}

bool xReadPrimary(std::string &bytes, int timeoutMs)
{
    Connection &c = connection();
    bytes.clear();
    if (!c.display)
        return false;
    // Forget anything left over from an earlier request that timed out.
    XSync(c.display, False);
    XEvent stale;
    while (XPending(c.display))
        XNextEvent(c.display, &stale);
    XDeleteProperty(c.display, c.window, c.property);
    Conversion result = convert(c, c.utf8String, bytes, timeoutMs);
    if (result == Conversion::Refused)
        result = convert(c, XA_STRING, bytes, timeoutMs);
    if (result != Conversion::Done)
        bytes.clear();
    return result == Conversion::Done;
}

void xDeletePrimary()
{
    Connection &c = connection();
    if (!c.display)
        return;
    XConvertSelection(c.display, XA_PRIMARY, c.deleteTarget, c.deleteProperty, c.window, CurrentTime);
    XFlush(c.display);
}
