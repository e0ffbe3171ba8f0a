#include "compiler/errornavigation.h"

#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/resultswindow.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/projectwindows.h"
#include "shell/mainwindow.h"
#include "texttools/gotoline.h"
#include "toolkit/focus.h"
#include "toolkit/imagebutton.h"
#include "toolkit/outputpane.h"
#include "toolkit/textpane.h"

namespace {

std::vector<ProjectFileTitle> projectTitles()
{
    std::vector<ProjectFileTitle> titles;
    for (int slot = 0; slot < projectWindowSlots; ++slot) {
        if (const ProjectWindow *window = projectWindowTable[slot]) {
            ProjectFileTitle title;
            title.slot = slot;
            title.edited = window->edited;
            title.title = window->fileName + (window->edited ? " - edited" : "");
            titles.push_back(title);
        }
    }
    return titles;
}

// Highlights the message in the results pane and selects the source line it names.
void showEntry(const ErrorEntry &entry)
{
    OutputPane *results = resultsWindow->resultsPane;
    textsw_possibly_normalize(results, entry.lineStart);
    textsw_set_selection(results, entry.lineStart, entry.lineEnd, TEXTSW_SEL_SECONDARY);
    TextPane *source = textPane;
    if (entry.projectSlot != mainDocumentSlot) {
        const ProjectWindow *window =
            entry.projectSlot >= 0 && entry.projectSlot < projectWindowSlots ? projectWindowTable[entry.projectSlot]
                                                                             : nullptr;
        // The window may have been closed since the list was made.
        source = window ? window->pane : nullptr;
    }
    if (!source)
        return;
    goToLine(source, entry.lineNumber - 1);
    // The user goes on in the source: typing replaces the selected line.
    focus_give_to(source);
}

void takeStep(const ErrorStep &step)
{
    if (!resultsWindow)
        return;
    setResultsMessage(step.message);
    applyNavigationButtons();
    if (step.shown)
        showEntry(*step.shown);
}

} // namespace

void applyNavigationButtons()
{
    if (!resultsWindow)
        return;
    const NavigationButtons &active = errorList.buttons();
    resultsWindow->previousButton->setInactive(!active.previous);
    resultsWindow->firstButton->setInactive(!active.first);
    resultsWindow->nextButton->setInactive(!active.next);
    resultsWindow->lastButton->setInactive(!active.last);
}

void rebuildErrorList()
{
    if (!compilerOutput)
        return;
    errorList.rebuild(parseErrorMessages(textOf(*compilerOutput), configurationTable[currentConfiguration].errorForm,
                                         document.fileName.c_str(), projectTitles()));
    applyNavigationButtons();
}

IncrementalErrorParser startErrorParser()
{
    return IncrementalErrorParser(configurationTable[currentConfiguration].errorForm, document.fileName.c_str(),
                                  projectTitles());
}

void finishErrorList(IncrementalErrorParser &parser)
{
    if (!compilerOutput)
        return;
    if (!parser.madeFrom(configurationTable[currentConfiguration].errorForm, document.fileName.c_str(),
                         projectTitles())) {
        rebuildErrorList();
        return;
    }
    errorList.rebuild(parser.finish(textOf(*compilerOutput)));
    applyNavigationButtons();
}

void nextError()
{
    if (resultsWindow)
        takeStep(errorList.next());
}

void previousError()
{
    if (resultsWindow)
        takeStep(errorList.previous());
}

void firstError()
{
    if (resultsWindow)
        takeStep(errorList.first());
}

void lastError()
{
    if (resultsWindow)
        takeStep(errorList.last());
}

void closeResults()
{
    // The close button is inactive during every compile; the window manager's close is refused
    // the same way, so that the output of a running compile always has its window.
    if (compileLock || compileRunning())
        return;
    destroyResultsWindow();
    compilerOutput.reset();
}
