#include "benchsupport.h"

#include "config/configuration.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "toolkit/textpane.h"

#include <QApplication>

#include <vector>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void ensureApplication()
{
    static QApplication *application = nullptr;
    if (!application) {
        if (!std::getenv("DISPLAY"))
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "tsl_bench";
        static char *argv[] = {name, nullptr};
        application = new QApplication(argc, argv);
    }
}

void ensureMainWindow()
{
    ensureApplication();
    if (textPane)
        return;
    if (FILE *file = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r")) {
        readConfigurationFrom(file);
        fclose(file);
    }
    if (!buildMainWindow(nullptr))
        std::abort();
    textsw_set_memory_limit(textPane, 0);
    QApplication::processEvents();
}

const std::string &sourceText()
{
    static std::string text;
    if (text.empty()) {
        text.reserve(static_cast<std::size_t>(sourceLineCount) * 44);
        char line[64];
        for (int i = 0; i < sourceLineCount; ++i) {
            std::snprintf(line, sizeof line, "    sum += counter * %7d; /* s%05d */\n", i, i % 100000);
            text += line;
        }
    }
    return text;
}

std::string temporaryFile(const char *prefix, const std::string &text)
{
    static std::vector<std::string> made;
    std::string path = std::string("/tmp/") + prefix + "XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::abort();
    close(fd);
    if (made.empty())
        std::atexit([] {
            for (const std::string &name : made)
                unlink(name.c_str());
        });
    made.push_back(path);
    return path;
}

const std::string &sourceFile()
{
    static const std::string name = temporaryFile("tsl-bench-", sourceText());
    return name;
}
