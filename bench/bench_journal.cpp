// Recovery journal figures: what journaling adds to a keystroke in a 40 MB file (next to the same
// keystrokes with journaling off, in the same run), the start of a journal there (the copy of the
// stored file, in slices), and recovering 10,000 edits made to it. Run under a display
// (xvfb-run -a build/bench/tsl_bench --benchmark_filter=Journal).

#include "benchsupport.h"
#include "documents/recoveryjournal.h"
#include "toolkit/editjournal.h"
#include "toolkit/piecetext.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr int keystrokes = 2000;
// A fast typist's ten keys a second against the journal's writes once a second.
constexpr int keysPerWrite = 10;

std::unique_ptr<TextPane> loadedPane(bool journaled, bool shown = true)
{
    auto pane = std::make_unique<TextPane>();
    if (journaled)
        startRecoveryJournal(pane.get());
    if (textsw_load_file(pane.get(), sourceFile(), false) != 0)
        return nullptr;
    pane->resize(900, 700);
    if (shown)
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

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double mean(const std::vector<double> &values)
{
    return values.empty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

// Keys typed in the middle of the 40 MB text of two shown panes, one journaled and one not, in
// alternating runs of 100 keys (so that the machine's load falls on both alike), each key
// followed by the events it causes; in the journaled pane the journal is written every tenth key.
// The journals are started (and the stored file copied) by a first key before the timing.
// Counters: the median and the mean time of a key in each pane, in microseconds, and the
// difference of the means: what journaling adds to a key, its writes included. With the argument
// 0 the panes are not shown: without the repaint, a key costs little more than the journal's part.
void BM_Journal_Keystroke40MB(benchmark::State &state)
{
    ensureApplication();
    std::vector<double> on, off;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TextPane> journaled = loadedPane(true, state.range(0) == 1);
        std::unique_ptr<TextPane> plain = loadedPane(false, state.range(0) == 1);
        if (!journaled || !plain) {
            state.SkipWithError("load failed");
            break;
        }
        for (TextPane *pane : {journaled.get(), plain.get()}) {
            textsw_set_insertion_point(pane, textsw_length(pane) / 2);
            pressKey(pane, '/');
        }
        writeRecoveryJournal(journaled.get());
        QElapsedTimer copying;
        copying.start();
        while (copying.elapsed() < 3000) // the copy of the stored file, in slices
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        state.ResumeTiming();
        QElapsedTimer key;
        for (int run = 0; run < keystrokes / 100; ++run)
            for (TextPane *pane : {journaled.get(), plain.get()})
                for (int i = 0; i < 100; ++i) {
                    key.start();
                    pressKey(pane, "int x;\n"[i % 7]);
                    if (pane == journaled.get() && i % keysPerWrite == keysPerWrite - 1)
                        writeRecoveryJournal(pane);
                    (pane == journaled.get() ? on : off).push_back(key.nsecsElapsed() / 1e3);
                }
        state.PauseTiming();
        if (recoveryJournalPath(journaled.get()).empty())
            state.SkipWithError("no journal was written");
        journaled.reset();
        plain.reset();
        state.ResumeTiming();
    }
    state.counters["median_us_on"] = median(on);
    state.counters["median_us_off"] = median(off);
    state.counters["mean_us_on"] = mean(on);
    state.counters["mean_us_off"] = mean(off);
    state.counters["journal_us_per_key"] = mean(on) - mean(off);
    state.counters["longest_ms_on"] = on.empty() ? 0 : *std::max_element(on.begin(), on.end()) / 1e3;
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
        PieceText text(base);
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

// Reading the journal and replaying its edits, outside any pane, into the changes to make to the
// stored text (what "Recover" puts into the pane). copy_ms: copying the recovered 40 MB out as
// one text besides (fresh memory for 40 MB is the most of it).
void BM_Journal_Recover10000Edits40MB(benchmark::State &state)
{
    std::string expected;
    const std::string &journal = tenThousandEditsJournal(&expected);
    const std::string &base = sourceText();
    bool same = true;
    double copyMs = 0;
    for (auto _ : state) {
        JournalHeader header;
        std::string records;
        if (!readJournal(journal, header, records))
            state.SkipWithError("unreadable journal");
        PieceText text(base);
        replayEdits(records, text);
        const std::vector<PieceText::Change> changes = text.changes();
        benchmark::DoNotOptimize(changes.data());
        state.PauseTiming();
        QElapsedTimer copying;
        copying.start();
        const std::string recovered = text.text();
        copyMs += copying.nsecsElapsed() / 1e6;
        same = same && recovered == expected;
        state.ResumeTiming();
    }
    state.counters["copy_ms"] = copyMs / static_cast<double>(state.iterations());
    if (!same)
        state.SkipWithError("recovered bytes differ");
}

// The same edits put into a pane that holds the 40 MB stored text, as "Recover" does. With the
// argument 1, the pane has been changed once before (untimed): the one-time work of a first
// change in a 40 MB text (the copy of the saved text kept for Undo all, and the editor's growth
// of its buffer), which any first keystroke pays, is then not in the time.
void BM_Journal_Recover10000EditsIntoPane40MB(benchmark::State &state)
{
    ensureApplication();
    std::string expected;
    const std::string &journal = tenThousandEditsJournal(&expected);
    bool same = true;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TextPane> pane = loadedPane(false);
        if (pane && state.range(0) == 1) {
            textsw_insert(pane.get(), "x", 1);
            textsw_undo(pane.get());
        }
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

BENCHMARK(BM_Journal_Keystroke40MB)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Journal_Start40MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Journal_Recover10000Edits40MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Journal_Recover10000EditsIntoPane40MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();
