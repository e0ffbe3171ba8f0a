// Text pane figures: loading and showing a 40 MB source file (next to a bare QsciScintilla
// given the same bytes), replacing 1,000,000 occurrences of a word, and appending compiler
// output in 1024-byte pieces. Run under a display (xvfb-run -a build/bench/tsl_bench).

#include "benchsupport.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void showAndPaint(QWidget *widget)
{
    widget->resize(900, 700);
    widget->show();
    QApplication::processEvents();
    widget->repaint();
}

void BM_LoadAndShow_TextPane(benchmark::State &state)
{
    ensureApplication();
    const std::string &file = sourceFile();
    for (auto _ : state) {
        auto pane = std::make_unique<TextPane>();
        if (textsw_load_file(pane.get(), file, false) != 0)
            state.SkipWithError("load failed");
        showAndPaint(pane.get());
        state.PauseTiming();
        pane.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long>(sourceText().size()));
}

void BM_LoadAndShow_BareQsciScintilla(benchmark::State &state)
{
    ensureApplication();
    const std::string &file = sourceFile();
    for (auto _ : state) {
        auto editor = std::make_unique<QsciScintilla>();
        QFile input(QString::fromStdString(file));
        input.open(QIODevice::ReadOnly);
        const QByteArray bytes = input.readAll();
        editor->SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
        showAndPaint(editor.get());
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long>(sourceText().size()));
}

// Replace-all as the text tools run it: find forward from the end of the last replacement,
// replace, until the search goes round to the top; one batch, so one undo step.
void BM_ReplaceAll_1M(benchmark::State &state)
{
    ensureApplication();
    const std::string &text = sourceText();
    TextPane pane;
    const char word[] = "counter";
    const char replacement[] = "total_count";
    long replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        textsw_set_contents(&pane, text.data(), static_cast<long>(text.size()));
        state.ResumeTiming();
        TextswBatch batch(&pane);
        long start = 0;
        replaced = 0;
        for (;;) {
            long first = start, end = 0;
            const long hit = textsw_find_bytes(&pane, &first, &end, word, 7, TEXTSW_FORWARD);
            if (hit < start)
                break;
            textsw_replace_bytes(&pane, hit, end, replacement, 11);
            start = hit + 11;
            ++replaced;
        }
    }
    if (replaced != sourceLineCount)
        state.SkipWithError("wrong number of replacements");
    state.counters["replacements"] = static_cast<double>(replaced);
}

// Compiler output arriving in 1024-byte reads into a shown results pane, events processed
// after each piece as the notifier would.
void BM_AppendPieces(benchmark::State &state)
{
    ensureApplication();
    const std::string piece = sourceText().substr(0, 1024);
    constexpr int pieces = 8000;
    QElapsedTimer timer;
    double longestEvents = 0; // the longest the window went without answering, in ms
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = std::make_unique<TextPane>();
        textsw_set_read_only(pane.get(), true);
        showAndPaint(pane.get());
        state.ResumeTiming();
        for (int i = 0; i < pieces; ++i) {
            textsw_set_read_only(pane.get(), false);
            textsw_append(pane.get(), piece.data(), 1024);
            textsw_set_read_only(pane.get(), true);
            timer.start();
            QApplication::processEvents();
            longestEvents = std::max(longestEvents, timer.nsecsElapsed() / 1e6);
        }
        state.PauseTiming();
        pane.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * pieces * 1024L);
    state.counters["longest_event_ms"] = longestEvents;
}

} // namespace

BENCHMARK(BM_LoadAndShow_TextPane)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_LoadAndShow_BareQsciScintilla)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_ReplaceAll_1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_AppendPieces)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
