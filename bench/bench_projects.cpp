// Column add/del and project windows on the real main window: "Insert at begin" of // on
// 100,000 selected lines, through the prompt and the notice as the user answers them, alone (on
// the text as loaded) and with loading and storing the file (what vim's :%s#^#//# run includes);
// and opening a project of 64 files of 100 KB each, timed until every window has painted its
// text. bench/projects-vs-vim.sh sets the column figures next to vim on the same file.

#include "benchsupport.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/projectwindows.h"
#include "shell/mainwindow.h"
#include "texttools/columntool.h"
#include "texttools/texttoolstate.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <unistd.h>

namespace {

constexpr int columnLines = 100000;

// The first 100,000 lines of the shared test text (about 4 MB).
const std::string &columnText()
{
    static const std::string text = [] {
        const std::string &all = sourceText();
        size_t end = 0;
        for (int line = 0; line < columnLines; ++line)
            end = all.find('\n', end) + 1;
        return all.substr(0, end);
    }();
    return text;
}

// The column text as a file; TSL_COLUMN_INPUT names one to use instead (the script's, which
// vim reads too).
const std::string &columnFile()
{
    static const std::string name = std::getenv("TSL_COLUMN_INPUT") ? std::getenv("TSL_COLUMN_INPUT")
                                                                     : temporaryFile("tsl-bench-column-", columnText());
    return name;
}

// Every line selected, "//" into "String -> ", "Insert at begin" at the question. Returns false
// when it went otherwise.
bool commentOutEveryLine()
{
    textsw_set_selection(textPane, 0, textsw_length(textPane), TEXTSW_SEL_PRIMARY);
    NoticeScript notices;
    notices.press("Insert at begin");
    startColumnTool();
    if (!toolPrompt)
        return false;
    toolPrompt->setValue(QStringLiteral("//"));
    toolPrompt->pressReturn();
    return notices.shown().size() == 1 && notices.pendingPresses() == 0 &&
           textsw_contents(textPane, 0, 6) == "//    ";
}

// The change alone, on the text loaded as BM_Projects_LoadColumnStore_100k loads it.
void BM_Projects_ColumnInsertAtBegin_100k(benchmark::State &state)
{
    timeChangeOfFile(state, columnFile(), [] {
        return commentOutEveryLine() &&
               textsw_length(textPane) == static_cast<long>(columnText().size()) + 2L * columnLines;
    });
}

// Load, Column add/del, store: what vim's run does. With TSL_COLUMN_OUTPUT set, the result is
// stored there and kept, so that it can be compared with vim's.
void BM_Projects_LoadColumnStore_100k(benchmark::State &state)
{
    timeLoadChangeStore(state, columnFile(), commentOutEveryLine, "TSL_COLUMN_OUTPUT");
}

// A directory with main.c, 64 files of 100 KB and the project file naming them all.
std::string projectDirectory()
{
    static std::string directory;
    if (directory.empty()) {
        char path[] = "/tmp/tsl-bench-project-XXXXXX";
        if (!mkdtemp(path))
            std::abort();
        directory = path;
        const std::string &all = sourceText();
        const std::string file = all.substr(0, all.find('\n', 100 * 1024) + 1);
        std::string project = "main.c\n";
        for (int i = 0; i <= 64; ++i) {
            const std::string name = i == 0 ? "main.c" : "part" + std::to_string(i) + ".c";
            if (FILE *out = fopen((directory + "/" + name).c_str(), "w")) {
                fwrite(file.data(), 1, file.size(), out);
                fclose(out);
            }
            if (i > 0)
                project += name + "\n";
        }
        if (FILE *out = fopen((directory + "/app.project").c_str(), "w")) {
            fwrite(project.data(), 1, project.size(), out);
            fclose(out);
        }
        std::atexit([] { std::system(("rm -rf '" + directory + "'").c_str()); });
    }
    return directory;
}

// Opens the project and returns once every one of its 64 windows and the main window (which
// gets the project's main file) has painted its text pane and the X server has drawn what they
// sent: the time until the user sees every window with its text.
void BM_Projects_Open64Windows(benchmark::State &state)
{
    ensureMainWindow();
    const std::string directory = projectDirectory();
    if (chdir(directory.c_str()) != 0)
        std::abort();
    fileDirectory = workingDirectory = directory;
    generalSettings.maxProjectWindows = 64;
    NoticeScript notices;
    std::set<QObject *> painted;
    for (auto _ : state) {
        painted.clear();
        afterEvent = [&](QObject *receiver, QEvent *event) {
            if (event->type() == QEvent::Paint)
                painted.insert(receiver);
        };
        const auto everyPanePainted = [&] {
            if (!painted.count(textPane->viewport()))
                return false;
            for (int slot = 0; slot < 64; ++slot)
                if (!projectWindowTable[slot] || !painted.count(projectWindowTable[slot]->pane->viewport()))
                    return false;
            return true;
        };
        document.fileName = "app.project";
        directoryChanged = false;
        openProjectFile();
        QElapsedTimer patience;
        patience.start();
        while (!everyPanePainted() && patience.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QGuiApplication::sync(); // a round trip: the server has handled every window's drawing
        afterEvent = nullptr;
        state.PauseTiming();
        if (projectWindowCount != 64 || !notices.shown().empty() || !everyPanePainted())
            state.SkipWithError("the project did not open and paint its 64 windows");
        for (int slot = 0; slot < projectWindowSlots; ++slot)
            if (projectWindowTable[slot])
                closeProjectWindow(slot);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_Projects_ColumnInsertAtBegin_100k)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Projects_LoadColumnStore_100k)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Projects_Open64Windows)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
