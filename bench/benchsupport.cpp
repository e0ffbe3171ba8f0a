#include "benchsupport.h"

#include "config/configuration.h"
#include "frame/mainframe.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

std::function<void(QObject *receiver, QEvent *event)> afterEvent;

namespace {

class BenchApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        static const int slowMs = getenv("TSL_BENCH_SLOW_EVENTS") ? atoi(getenv("TSL_BENCH_SLOW_EVENTS")) : 0;
        QElapsedTimer clock;
        if (slowMs > 0)
            clock.start();
        const bool done = QApplication::notify(receiver, event);
        if (slowMs > 0 && clock.elapsed() >= slowMs)
            fprintf(stderr, "event %d to %s took %lld ms\n", static_cast<int>(event->type()),
                    receiver->metaObject()->className(), clock.elapsed());
        if (afterEvent)
            afterEvent(receiver, event);
        return done;
    }
};

// Recovery journals of the benchmarks' panes go to a folder of their own, removed at exit.
void useOwnStateFolder()
{
    static char folder[] = "/tmp/tsl-bench-state-XXXXXX";
    if (!mkdtemp(folder))
        return;
    setenv("XDG_STATE_HOME", folder, 1);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
}

} // namespace

void ensureApplication()
{
    static QApplication *application = nullptr;
    if (!application) {
        useOwnStateFolder();
        if (!std::getenv("DISPLAY"))
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "tsl_bench";
        static char *argv[] = {name, nullptr};
        application = new BenchApplication(argc, argv);
    }
}

void ensureMainWindow(const char *file)
{
    ensureApplication();
    if (textPane)
        return;
    if (FILE *configuration = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r")) {
        readConfigurationFrom(configuration);
        fclose(configuration);
    }
    if (!buildMainWindow(file))
        std::abort();
    textsw_set_memory_limit(textPane, 0);
    // The user's shell starts in the terminal pane with the window; its start-up (its rc files,
    // which may start programs of their own) is no part of what a benchmark times, so the window
    // is left to run until the shell waits at its prompt: three looks 50 ms apart, at most 30 s.
    QElapsedTimer patience;
    patience.start();
    for (int waiting = 0; waiting < 3 && patience.elapsed() < 30000;) {
        QElapsedTimer look;
        look.start();
        while (look.elapsed() < 50)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        waiting = terminalPane && !terminalPane->shellReadingInput() ? 0 : waiting + 1;
    }
}

namespace {

// Lets the event loop do what a new text left for it (repaints, styling, moving Scintilla's gaps).
void settle()
{
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

void timeChangeOfText(benchmark::State &state, const std::string &text, const std::function<bool()> &change)
{
    ensureMainWindow();
    // A first, untimed change makes what any change needs once (a prompt field, its fonts, the
    // selection's ownership), so that the timed one is the change alone.
    textsw_set_contents(textPane, text.data(), static_cast<long>(text.size()));
    change();
    for (auto _ : state) {
        state.PauseTiming();
        textsw_set_contents(textPane, text.data(), static_cast<long>(text.size()));
        // What setting the text left for the event loop is not part of the change.
        settle();
        state.ResumeTiming();
        if (!change())
            state.SkipWithError("the change went wrong");
    }
}

void timeChangeOfFile(benchmark::State &state, const std::string &input, const std::function<bool()> &change)
{
    ensureMainWindow();
    if (textsw_load_file(textPane, input, false) == 0)
        change();
    for (auto _ : state) {
        state.PauseTiming();
        if (textsw_load_file(textPane, input, false) != 0)
            state.SkipWithError("the load failed");
        settle();
        state.ResumeTiming();
        if (!change())
            state.SkipWithError("the change went wrong");
    }
}

void timeLoadChangeStore(benchmark::State &state, const std::string &input, const std::function<bool()> &change,
                         const char *keepVariable)
{
    ensureMainWindow();
    const char *kept = std::getenv(keepVariable);
    const std::string output = kept ? kept : input + ".out";
    // Untimed, as in timeChangeOfText: what the first change makes once is not part of it.
    if (textsw_load_file(textPane, input, false) == 0)
        change();
    for (auto _ : state) {
        if (textsw_load_file(textPane, input, false) != 0 || !change() || textsw_store_file(textPane, output) != 0)
            state.SkipWithError("load, change or store failed");
    }
    if (!kept)
        unlink(output.c_str());
}

long processSize(const char *field)
{
    long kilobytes = 0;
    if (FILE *status = fopen("/proc/self/status", "r")) {
        char line[256];
        while (fgets(line, sizeof line, status))
            if (strncmp(line, field, strlen(field)) == 0)
                kilobytes = atol(line + strlen(field));
        fclose(status);
    }
    return kilobytes * 1024;
}

void resetPeakResident()
{
    if (FILE *references = fopen("/proc/self/clear_refs", "w")) {
        fputs("5", references);
        fclose(references);
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

std::string temporaryFile(const char *prefix, const std::string &text, const char *suffix)
{
    static std::vector<std::string> made;
    std::string path = std::string("/tmp/") + prefix + "XXXXXX" + suffix;
    const int fd = mkstemps(&path[0], static_cast<int>(std::strlen(suffix)));
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
