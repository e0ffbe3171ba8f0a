#include "shell/commandline.h"

#include <cstring>

#ifndef TSL_VERSION
#define TSL_VERSION "unknown"
#endif

CommandLineRequest commandLineRequest(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0)
            return CommandLineRequest::Help;
        if (std::strcmp(argv[i], "--version") == 0)
            return CommandLineRequest::Version;
    }
    return CommandLineRequest::Run;
}

const char *usageText()
{
    return "Usage: tsl [toolkit options] [file]\n"
           "A programming environment for X11: an editor, a terminal running your shell and a\n"
           "compiler front end in one window. Opens FILE when one is given.\n"
           "\n"
           "  --help                 print this help and exit\n"
           "  --version              print the version and exit\n"
           "\n"
           "Toolkit options (taken by Qt before the file name is looked at), among them:\n"
           "  -display host:screen   the X display to use instead of $DISPLAY\n"
           "  -geometry WxH+X+Y      size and place of the main window\n"
           "  -style NAME            the widget style, such as Fusion\n"
           "  -stylesheet FILE       a Qt style sheet\n"
           "  -platform NAME         the Qt platform plug-in (tsl needs xcb)\n"
           "  -reverse               right-to-left layout\n"
           "\n"
           "Settings are read from ~/.tslrc, else /usr/openwin/lib/system.tslrc, else\n"
           "~/tsl.config. See tsl(1).\n";
}

const char *versionText()
{
    return "tsl " TSL_VERSION "\n";
}
