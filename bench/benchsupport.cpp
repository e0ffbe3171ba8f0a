#include "benchsupport.h"

#include <QApplication>

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

const std::string &sourceFile()
{
    static std::string name;
    if (name.empty()) {
        char path[] = "/tmp/tsl-bench-XXXXXX";
        const int fd = mkstemp(path);
        const std::string &text = sourceText();
        if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            std::abort();
        close(fd);
        name = path;
        std::atexit([] { unlink(name.c_str()); });
    }
    return name;
}
