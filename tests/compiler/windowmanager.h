#pragma once
// A real window manager on the test display: openbox, started for as long as the object lives,
// unless one runs there already. Stacking, activation and transients behave as on a desktop only
// with one, and only for programs that start after it.
#include "support/testsupport.h"

#include <string>
#include <sys/types.h>

class WindowManager {
public:
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager &) = delete;
    WindowManager &operator=(const WindowManager &) = delete;

    // Whether a window manager manages the display.
    static bool runs();

private:
    TempDir home_; // openbox reads no configuration of the user's
    pid_t pid_ = -1;
};

// The window manager's stacking order of its clients, from the bottom up (X window ids).
std::vector<unsigned long> stackingOrder();
// The window that the window manager says is active; 0 for none.
unsigned long activeWindow();
// Whether `upper` is stacked above `lower`.
bool stackedAbove(unsigned long upper, unsigned long lower);
