#include "compiler/errornavigation.h"

#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/messagefiles.h"
#include "compiler/messagemarks.h"
#include "compiler/resultswindow.h"
#include "compiler/terminalmessages.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "texttools/gotoline.h"
#include "toolkit/focus.h"
#include "toolkit/imagebutton.h"
#include "toolkit/outputpane.h"
#include "toolkit/textpane.h"

#include <QPointer>

#include <memory>

namespace {

// The files on disk that the parser of the running compile compares message paths with.
std::shared_ptr<EditedFileResolver> parserFiles;

} // namespace

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

std::shared_ptr<EditedFileResolver> editedFilesOnDisk(const std::string &directory)
{
    std::vector<EditedFile> files;
    files.push_back({mainDocumentSlot, document.fileName});
    for (int slot = 0; slot < projectWindowSlots; ++slot)
        if (const ProjectWindow *window = projectWindowTable[slot])
            files.push_back({slot, window->fileName});
    return std::make_shared<EditedFileResolver>(directory, files);
}

FileResolver resolverOf(const std::shared_ptr<EditedFileResolver> &files)
{
    return [files](std::string_view directory, std::string_view filePart) {
        return files->resolve(directory, filePart);
    };
}

const char *currentErrorForm()
{
    return configurationTable[currentConfiguration].errorForm;
}

namespace {

void useEntries(ErrorEntries entries)
{
    errorList.rebuild(std::move(entries));
    applyNavigationButtons();
    placeMessageMarks();
}

// Highlights the message in the results pane and selects the source line it names.
void showEntry(const ErrorEntry &entry)
{
    OutputPane *results = resultsWindow->resultsPane;
    textsw_possibly_normalize(results, entry.lineStart);
    textsw_set_selection(results, entry.lineStart, lineEndOf(results->text().text(), entry), TEXTSW_SEL_SECONDARY);
    showMessageSource(entry);
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

void showMessageSource(ErrorEntry entry)
{
    // `entry` is a copy: a notice shown on the way ("Line number not found") runs the event loop,
    // in which a new command in the terminal or a compile's output can rebuild the list it came from.
    QPointer<TextPane> source = textPane;
    if (entry.projectSlot != mainDocumentSlot) {
        const ProjectWindow *window =
            entry.projectSlot >= 0 && entry.projectSlot < projectWindowSlots ? projectWindowTable[entry.projectSlot]
                                                                             : nullptr;
        // The window may have been closed since the list was made.
        source = window ? window->pane : nullptr;
    }
    if (source)
        goToLine(source, entry.lineNumber - 1);
    markMessageColumn(source, entry);
    // The user goes on in the source: typing replaces the selected line.
    if (source)
        focus_give_to(source);
}

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
    rebuildTerminalMessages();
    if (!compilerOutput)
        return;
    IncrementalErrorParser parser(currentErrorForm(), document.fileName.c_str(), projectTitles(),
                                  resolverOf(editedFilesOnDisk(compileDirectory)));
    useEntries(parser.finish(textOf(*compilerOutput)));
}

IncrementalErrorParser startErrorParser()
{
    parserFiles = editedFilesOnDisk(compileDirectory);
    return IncrementalErrorParser(currentErrorForm(), document.fileName.c_str(), projectTitles(),
                                  resolverOf(parserFiles));
}

void finishErrorList(IncrementalErrorParser &parser)
{
    if (!compilerOutput)
        return;
    const bool sameFiles = parserFiles && parserFiles->sameAs(*editedFilesOnDisk(compileDirectory));
    parserFiles.reset();
    if (!sameFiles || !parser.madeFrom(currentErrorForm(), document.fileName.c_str(), projectTitles())) {
        rebuildErrorList();
        return;
    }
    useEntries(parser.finish(textOf(*compilerOutput)));
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

bool showMessageAt(long position)
{
    // During a compile the list still holds the entries of the output before.
    if (!resultsWindow || !compilerOutput || compileRunning())
        return false;
    const int index = errorList.indexAt(position, compilerOutput->text());
    if (index < 0)
        return false;
    letResultsLead();
    takeStep(errorList.select(index));
    return true;
}

void closeResults()
{
    // The close button is inactive during every compile; the window manager's close is refused
    // the same way, so that the output of a running compile always has its window.
    if (compileLock || compileRunning())
        return;
    destroyResultsWindow();
    compilerOutput.reset();
    // The terminal's messages, if any, lead now.
    placeMessageMarks();
}
