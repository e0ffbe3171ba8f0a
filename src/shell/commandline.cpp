#include "shell/commandline.h"

#include <cstring>

#ifndef TSL_VERSION
#define TSL_VERSION "unknown"
#endif

namespace {

// The options that Qt 5 takes out of the command line (QCoreApplication, QGuiApplication,
// QApplication and the xcb platform plug-in), each also with two dashes.
const char *const toolkitOptionsWithValue[] = {
    "display", "geometry", "qwindowgeometry", "title", "qwindowtitle", "icon", "qwindowicon", "name",
    "visual", "platform", "platformpluginpath", "platformtheme", "plugin", "session", "style", "stylesheet",
    "qmljsdebugger",
};
const char *const toolkitOptionsAlone[] = {"reverse", "sync", "nograb", "dograb", "testability", "widgetcount",
                                           "qdevel", "qdebug"};
// Options whose value may also follow an equals sign.
const char *const toolkitOptionsWithEquals[] = {"style", "stylesheet", "qmljsdebugger"};

bool isOneOf(const char *name, const char *const *names, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (std::strcmp(name, names[i]) == 0)
            return true;
    return false;
}

template <size_t N>
bool isOneOf(const char *name, const char *const (&names)[N])
{
    return isOneOf(name, names, N);
}

bool hasEqualsForm(const char *name)
{
    const char *equals = std::strchr(name, '=');
    if (!equals)
        return false;
    const std::string option(name, static_cast<size_t>(equals - name));
    return isOneOf(option.c_str(), toolkitOptionsWithEquals);
}

} // namespace

CommandLine parseCommandLine(int argc, char **argv)
{
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (optionsEnded || argument[0] != '-' || argument[1] == '\0') {
            line.files.push_back(argument);
            continue;
        }
        if (std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "--version") == 0) {
            line.request = argument[2] == 'h' ? CommandLineRequest::Help : CommandLineRequest::Version;
            return line;
        }
        const char *name = argument + (argument[1] == '-' ? 2 : 1);
        if (isOneOf(name, toolkitOptionsAlone) || hasEqualsForm(name))
            continue;
        if (!isOneOf(name, toolkitOptionsWithValue)) {
            line.request = CommandLineRequest::Refused;
            line.refusal = std::string("tsl: unknown option '") + argument + "'";
            return line;
        }
        if (i + 1 >= argc) {
            line.request = CommandLineRequest::Refused;
            line.refusal = std::string("tsl: option '") + argument + "' needs a value";
            return line;
        }
        const char *value = argv[++i];
        if (std::strcmp(name, "display") == 0) {
            line.display = value;
            line.hasDisplay = true;
        } else if (std::strcmp(name, "platform") == 0) {
            line.platform = value;
        }
    }
    return line;
}

const char *usageText()
{
    return "Usage: tsl [toolkit options] [file]\n"
           "A programming environment for X11: an editor, a terminal running your shell and a\n"
           "compiler front end in one window. Opens FILE when one is given.\n"
           "\n"
           "  --help                 print this help and exit\n"
           "  --version              print the version and exit\n"
           "  --                     what follows is a file name, even when it begins with -\n"
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

std::string extraFilesNote(const std::vector<std::string> &files)
{
    if (files.size() < 2)
        return std::string();
    std::string note = "tsl: one file at a time: editing " + files[0] + ", ignoring";
    for (size_t i = 1; i < files.size(); ++i)
        note += " " + files[i];
    return note;
}
