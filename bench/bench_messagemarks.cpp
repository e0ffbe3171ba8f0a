// The marks of 200,000 compiler messages, each naming another line of a 250,000-line file shown in
// a text pane: how long the window is held at once (the longest slice of placing them) and how
// long placing them all takes, next to adding the same marks in one go. Run under a virtual
// display: xvfb-run -a build/bench/tsl_bench --benchmark_filter=MessageMarks
#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/messagemarks.h"
#include "shell/mainwindow.h"
#include "toolkit/textmarks.h"
#include "toolkit/textpane.h"

#include "benchsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int messageCount = 200000;
constexpr int fileLines = 250000;

std::vector<ErrorEntry> messageEntries()
{
    std::vector<ErrorEntry> entries;
    for (int i = 0; i < messageCount; ++i) {
        ErrorEntry entry{i * 40L, i + 1, mainDocumentSlot};
        entry.setDetails(i % 3 ? MessageKind::error : MessageKind::warning, 5);
        entries.push_back(entry);
    }
    return entries;
}

TextPane *shownPane()
{
    static TextPane *pane = [] {
        ensureApplication();
        auto *made = new TextPane;
        std::string text;
        for (int i = 0; i < fileLines; ++i)
            text += "    int value" + std::to_string(i) + " = 0;\n";
        textsw_set_contents(made, text.data(), static_cast<long>(text.size()));
        made->resize(800, 600);
        made->show();
        prepareMessageMarks(made);
        QCoreApplication::processEvents();
        return made;
    }();
    return pane;
}

void BM_MessageMarks200000(benchmark::State &state)
{
    TextPane *pane = shownPane();
    TextPane *const savedPane = textPane;
    textPane = pane;
    compilerOutput = std::make_shared<OutputText>();
    errorList.rebuild(messageEntries());
    double longestHold = 0, allPlaced = 0;
    for (auto _ : state) {
        QElapsedTimer clock, slice;
        clock.start();
        slice.start();
        placeMessageMarks(); // the first slice
        longestHold = std::max(longestHold, slice.nsecsElapsed() / 1e6);
        while (placingMessageMarks()) {
            slice.restart();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            longestHold = std::max(longestHold, slice.nsecsElapsed() / 1e6);
        }
        allPlaced = clock.nsecsElapsed() / 1e6;
        state.PauseTiming();
        if (textsw_marks_on(pane, messageCount - 1) == 0 || textsw_marks_on(pane, messageCount) != 0)
            state.SkipWithError("the marks are not on the lines the messages name");
        removeMessageMarks();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["longest_hold_ms"] = longestHold;
    state.counters["all_placed_ms"] = allPlaced;
    errorList = ErrorList();
    compilerOutput.reset();
    textPane = savedPane;
}

// The same marks added in one go, as the window would be held without slices.
void BM_MessageMarks200000InOneGo(benchmark::State &state)
{
    TextPane *pane = shownPane();
    for (auto _ : state) {
        for (long line = 0; line < messageCount; ++line)
            textsw_add_mark(pane, line, line % 3 ? TEXTSW_MARK_ERROR : TEXTSW_MARK_WARNING);
        state.PauseTiming();
        textsw_remove_marks(pane);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_MessageMarks200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_MessageMarks200000InOneGo)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();
