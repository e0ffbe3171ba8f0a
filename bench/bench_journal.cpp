// Recovery journal figures: what journaling adds to a keystroke in a 40 MB file (next to the same
// keystroke with journaling off, in the same run), the start of a journal there (the copy of the
// stored file, in slices), and recovering 10,000 edits made to it. Run under a display
// (xvfb-run -a build/bench/tsl_bench --benchmark_filter=Journal).

#include "benchsupport.h"
#include "documents/recoveryjournal.h"
#include "toolkit/editjournal.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int keystrokes = 2000;
// A fast typist's ten keys a second against the journal's writes once a second.
constexpr int keysPerWrite = 10;

std::unique_ptr<TextPane> loadedPane(bool journaled)
{
    auto pane = std::make_unique<TextPane>();
    if (journaled)
        startRecoveryJournal(pane.get());
    if (textsw_load_file(pane.get(), sourceFile(), false) != 0)
        return nullptr;
    pane->resize(900, 700);
    pane->show();
    QApplication::processEvents();
    return pane;
}

void pressKey(TextPane *pane, char c)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QLatin1Char(c)));
    QApplication::sendEvent(pane, &press);
    QApplication::processEvents();
}

// Keys typed in the middle of the 40 MB text, each followed by the events it causes; with the
// journal, its writes come every tenth key. The journal (and its copy of the stored file) is
// started before the timing, by a first key.
void keystrokes40MB(benchmark::State &state, bool journaled)
{
    ensureApplication();
    double longestMs = 0;
    double totalMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TextPane> pane = loadedPane(journaled);
        if (!pane) {
            state.SkipWithError("load failed");
            break;
        }
        textsw_set_insertion_point(pane.get(), textsw_length(pane.get()) / 2);
        pressKey(pane.get(), '/');
        writeRecoveryJournal(pane.get());
        QElapsedTimer copying;
        copying.start();
        while (copying.elapsed() < 3000) // the copy of the stored file, in slices
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QElapsedTimer key;
        state.ResumeTiming();
        for (int i = 0; i < keystrokes; ++i) {
            key.start();
            pressKey(pane.get(), "int x;\n"[i % 7]);
            if (i % keysPerWrite == keysPerWrite - 1)
                writeRecoveryJournal(pane.get());
            longestMs = std::max(longestMs, key.nsecsElapsed() / 1e6);
            totalMs += key.nsecsElapsed() / 1e6;
        }
        state.PauseTiming();
        if (journaled && recoveryJournalPath(pane.get()).empty())
            state.SkipWithError("no journal was written");
        pane.reset();
        state.ResumeTiming();
    }
    state.counters["us_per_key"] = totalMs * 1000 / (static_cast<double>(state.iterations()) * keystrokes);
    state.counters["longest_key_ms"] = longestMs;
}

void BM_Journal_Keystroke40MB_Off(benchmark::State &state)
{
    keystrokes40MB(state, false);
}

void BM_Journal_Keystroke40MB_On(benchmark::State &state)
{
    keystrokes40MB(state, true);
}

// The first change after a load: the journal file, its header and the copy of the 40 MB stored
// file in slices. Timed: the whole start; longest_step_ms: the longest the event loop was held.
void BM_Journal_Start40MB(benchmark::State &state)
{
    ensureApplication();
    double longestMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TextPane> pane = loadedPane(true);
        if (!pane) {
            state.SkipWithError("load failed");
            break;
        }
        textsw_set_insertion_point(pane.get(), textsw_length(pane.get()) / 2);
        pressKey(pane.get(), '/');
        QElapsedTimer step;
        state.ResumeTiming();
        step.start();
        writeRecoveryJournal(pane.get());
        longestMs = std::max(longestMs, step.nsecsElapsed() / 1e6);
        for (int i = 0; i < 400; ++i) { // 5 ms apart: 2 s, more than the copy takes
            QElapsedTimer wait;
            wait.start();
            while (wait.elapsed() < 5)
                ;
            step.start();
            QApplication::processEvents();
            longestMs = std::max(longestMs, step.nsecsElapsed() / 1e6);
        }
        state.PauseTiming();
        pane.reset();
        state.ResumeTiming();
    }
    state.counters["longest_step_ms"] = longestMs;
}

// 10,000 edits as typing makes them: runs of keys at a caret that jumps now and then, with
// backspaces and line ends; the journal as it would lie on disk.
const std::string &tenThousandEditsJournal(std::string *result)
{
    static std::string journal;
    static std::string edited;
    if (journal.empty()) {
        const std::string &base = sourceText();
        GapText text(base);
        EditRecorder recorder;
        std::mt19937 random(10000);
        long caret = 0;
        for (int edit = 0; edit < 10000; ++edit) {
            if (edit % 200 == 0)
                caret = std::uniform_int_distribution<long>(0, text.length())(random);
            if (edit % 9 == 4 && caret > 0) {
                recorder.erased(caret - 1, 1);
                text.erase(caret - 1, 1);
                --caret;
            } else {
                const char typed = "for (i = 0;\n"[edit % 12];
                recorder.inserted(caret, &typed, 1);
                text.insert(caret, &typed, 1);
                ++caret;
            }
        }
        JournalHeader header;
        header.file = sourceFile();
        journal = journalStart(header);
        for (std::size_t at = 0; at < recorder.pending().size(); at += 300) // one frame a second
            journal += journalEditFrame(recorder.pending().substr(at, 300));
        edited = text.text();
    }
    if (result)
        *result = edited;
    return journal;
}

// Reading the journal and replaying it onto the stored text, outside any pane.
void BM_Journal_Recover10000Edits40MB(benchmark::State &state)
{
    std::string expected;
    const std::string &journal = tenThousandEditsJournal(&expected);
    const std::string &base = sourceText();
    bool same = true;
    for (auto _ : state) {
        JournalHeader header;
        std::string records;
        if (!readJournal(journal, header, records))
            state.SkipWithError("unreadable journal");
        GapText text(base);
        replayEdits(records, text);
        const std::string recovered = text.text();
        state.PauseTiming();
        same = same && recovered == expected;
        state.ResumeTiming();
    }
    if (!same)
        state.SkipWithError("recovered bytes differ");
}

// The same edits put into a pane that holds the 40 MB stored text, as "Recover" does.
void BM_Journal_Recover10000EditsIntoPane40MB(benchmark::State &state)
{
    ensureApplication();
    std::string expected;
    const std::string &journal = tenThousandEditsJournal(&expected);
    bool same = true;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TextPane> pane = loadedPane(false);
        state.ResumeTiming();
        JournalHeader header;
        std::string records;
        readJournal(journal, header, records);
        if (!pane || textsw_apply_edits(pane.get(), records) != 0)
            state.SkipWithError("the edits were refused");
        QApplication::processEvents();
        state.PauseTiming();
        same = same && pane && textsw_length(pane.get()) == static_cast<long>(expected.size()) &&
               std::string_view(pane->rangePointer(0, textsw_length(pane.get())),
                                static_cast<std::size_t>(textsw_length(pane.get()))) == expected;
        pane.reset();
        state.ResumeTiming();
    }
    if (!same)
        state.SkipWithError("recovered bytes differ");
}

} // namespace

BENCHMARK(BM_Journal_Keystroke40MB_Off)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Journal_Keystroke40MB_On)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Journal_Start40MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Journal_Recover10000Edits40MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Journal_Recover10000EditsIntoPane40MB)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();
