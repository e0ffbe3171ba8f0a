// Text tool figures on the real main window: replace-all of a word that occurs 1,000,000 times
// in a 40 MB text, through the prompts and the "replace all" answer as the user gives them,
// alone and with loading and storing the file (what vim's :%s run includes); and a find that
// goes round the whole text. bench/replace-vs-vim.sh sets them next to vim on the same file.

#include "benchsupport.h"
#include "shell/mainwindow.h"
#include "texttools/find.h"
#include "texttools/replace.h"
#include "texttools/texttoolstate.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QClipboard>

#include <benchmark/benchmark.h>


namespace {

void answerPrompt(const char *value)
{
    toolPrompt->setValue(QString::fromLatin1(value));
    toolPrompt->pressReturn();
}

// Replace with nothing selected: "counter" into "Replace this -> ", "tally" into
// "Replace with -> ", "replace all" at the question. Returns false when it went otherwise.
bool replaceCounterByTally()
{
    QApplication::clipboard()->clear(QClipboard::Selection);
    NoticeScript notices;
    notices.press("replace all");
    startReplace();
    if (!toolPrompt)
        return false;
    answerPrompt("counter");
    if (!toolPrompt)
        return false;
    answerPrompt("tally");
    return notices.shown().size() == 1 && notices.pendingPresses() == 0;
}

// The text after the replace: 2 bytes shorter on every line.
bool replacedWhole()
{
    return textsw_length(textPane) == static_cast<long>(sourceText().size()) - 2L * sourceLineCount &&
           textsw_contents(textPane, 0, 14) == "    sum += tal";
}

void BM_TextTools_ReplaceAll_1M(benchmark::State &state)
{
    timeChangeOfText(state, sourceText(), [] { return replaceCounterByTally() && replacedWhole(); });
}

// Load, replace all, store: what vim's run does. With TSL_REPLACE_OUTPUT set, the result is
// stored there and kept, so that it can be compared with vim's.
void BM_TextTools_LoadReplaceAllStore_1M(benchmark::State &state)
{
    timeLoadChangeStore(state, sourceFile(), replaceCounterByTally, "TSL_REPLACE_OUTPUT");
}

// Find next for a string that occurs once, just before the caret: the search runs from the
// caret to the end, goes on from the top and stops just before where it began.
void BM_TextTools_FindWrapsWholeText(benchmark::State &state)
{
    ensureMainWindow();
    const std::string &text = sourceText();
    textsw_set_contents(textPane, text.data(), static_cast<long>(text.size()));
    const std::string line0 = text.substr(0, text.find('\n') + 1);
    searchString = "counter *       0;";
    for (auto _ : state) {
        state.PauseTiming();
        textsw_set_insertion_point(textPane, static_cast<long>(line0.size()));
        state.ResumeTiming();
        findNext(0);
        if (textsw_get_insertion_point(textPane) != static_cast<long>(line0.find(';')) + 1)
            state.SkipWithError("not found where expected");
    }
}

} // namespace

BENCHMARK(BM_TextTools_ReplaceAll_1M)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_TextTools_LoadReplaceAllStore_1M)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_TextTools_FindWrapsWholeText)->Unit(benchmark::kMillisecond)->UseRealTime();
