#include "xselectionowner.h"

#include "support/waiting.h"
#include "toolkit/selection.h"

#include <atomic>
#include <mutex>
#include <poll.h>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

struct RecordingSelectionOwner::Server {
    std::string bytes;
    std::thread thread;
    std::atomic<bool> ready{false}, stop{false};
    std::mutex mutex;
    std::vector<std::string> targets;

    void serve()
    {
        Display *display = XOpenDisplay(nullptr);
        if (!display) {
            ready = true;
            return;
        }
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        XSetSelectionOwner(display, XA_PRIMARY, window, CurrentTime);
        XSync(display, False);
        ready = true;
        while (!stop) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == SelectionRequest)
                    answer(display, event.xselectionrequest, utf8);
            }
            pollfd watch{ConnectionNumber(display), POLLIN, 0};
            poll(&watch, 1, 20);
        }
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    // Text targets get the bytes; every other request is refused.
    void answer(Display *display, const XSelectionRequestEvent &request, Atom utf8)
    {
        if (char *name = XGetAtomName(display, request.target)) {
            std::lock_guard<std::mutex> lock(mutex);
            targets.push_back(name);
            XFree(name);
        }
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = display;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None;
        if (request.target == utf8 || request.target == XA_STRING) {
            XChangeProperty(display, request.requestor, request.property, request.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(bytes.data()), static_cast<int>(bytes.size()));
            reply.property = request.property;
        }
        XSendEvent(display, request.requestor, False, 0, reinterpret_cast<XEvent *>(&reply));
        XFlush(display);
    }
};

RecordingSelectionOwner::RecordingSelectionOwner(std::string bytes) : server_(new Server)
{
    server_->bytes = std::move(bytes);
    server_->thread = std::thread([this] { server_->serve(); });
    waitUntil([this] { return server_->ready.load(); }, 5000);
    waitUntil([] { return selection_inquire().kind == SelectionOwner::Other; }, 5000);
}

RecordingSelectionOwner::~RecordingSelectionOwner()
{
    server_->stop = true;
    server_->thread.join();
}

std::vector<std::string> RecordingSelectionOwner::targets()
{
    std::lock_guard<std::mutex> lock(server_->mutex);
    return server_->targets;
}
