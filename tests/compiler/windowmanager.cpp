#include "windowmanager.h"

#include "support/waiting.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

// The window ids of a property of the root window.
std::vector<unsigned long> rootWindows(const char *property)
{
    std::vector<unsigned long> windows;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return windows;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, property, False), 0, 4096, False,
                           XA_WINDOW, &type, &format, &items, &after, &data) == Success &&
        data && format == 32)
        for (unsigned long i = 0; i < items; ++i)
            windows.push_back(reinterpret_cast<unsigned long *>(data)[i]);
    if (data)
        XFree(data);
    XCloseDisplay(display);
    return windows;
}

} // namespace

bool WindowManager::runs()
{
    const std::vector<unsigned long> check = rootWindows("_NET_SUPPORTING_WM_CHECK");
    if (check.empty())
        return false;
    // The property may outlive a window manager that ended: its window must still exist.
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    XWindowAttributes attributes;
    const bool found = XGetWindowAttributes(display, check[0], &attributes) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return found;
}

WindowManager::WindowManager()
{
    if (runs())
        return;
    // The environment is made before the fork: the child only executes.
    std::vector<std::string> variables = {"HOME=" + home_.path(), "XDG_CONFIG_HOME=" + home_.file("config"),
                                          "XDG_CACHE_HOME=" + home_.file("cache")};
    for (char **variable = environ; *variable; ++variable)
        if (strncmp(*variable, "HOME=", 5) != 0 && strncmp(*variable, "XDG_", 4) != 0)
            variables.emplace_back(*variable);
    std::vector<char *> environment;
    for (std::string &variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    char program[] = "openbox", option[] = "--sm-disable";
    char *arguments[] = {program, option, nullptr};
    pid_ = fork();
    if (pid_ == 0) {
        execve("/usr/bin/openbox", arguments, environment.data());
        _exit(127);
    }
    waitUntil(runs, 10000);
}

WindowManager::~WindowManager()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

std::vector<unsigned long> stackingOrder()
{
    return rootWindows("_NET_CLIENT_LIST_STACKING");
}

unsigned long activeWindow()
{
    const std::vector<unsigned long> active = rootWindows("_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active[0];
}

bool stackedAbove(unsigned long upper, unsigned long lower)
{
    const std::vector<unsigned long> order = stackingOrder();
    const auto upperAt = std::find(order.begin(), order.end(), upper);
    const auto lowerAt = std::find(order.begin(), order.end(), lower);
    return upperAt != order.end() && lowerAt != order.end() && upperAt > lowerAt;
}
