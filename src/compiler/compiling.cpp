#include "compiler/compiling.h"

#include "compiler/compilecommand.h"
#include "compiler/compilenotices.h"
#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/errornavigation.h"
#include "compiler/expandcommand.h"
#include "compiler/messagemarks.h"
#include "compiler/resultswindow.h"
#include "compiler/terminalmessages.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialog.h"
#include "frame/mainframe.h"
#include "toolkit/imagebutton.h"
#include "toolkit/notice.h"
#include "toolkit/outputpane.h"
#include "toolkit/terminalpane.h"

#include <optional>
#include <string>
#include <sys/time.h>

namespace {

const char compilerClientMark = 0;
// The client of the timer that kills a compiler that has not stopped 3 s after Break.
const char breakClientMark = 0;
const NotifyClient breakClient = &breakClientMark;
constexpr int secondsBeforeKill = 3;
// The compiler that Break interrupted.
pid_t interruptedCompiler = -1;

// Matches the output's message lines while it arrives; made when a captured compile starts.
std::optional<IncrementalErrorParser> outputParser;

NoticeButton onlyButton(const std::string &label)
{
    return noticeYes(label);
}

void showNotice(const NoticeText &text)
{
    notice_prompt(mainFrame, text.lines, {onlyButton(text.button)});
}

// Keeps a piece of the output (its colour sequences taken out) and shows it while the results
// pane still takes text.
void keepPiece(std::string_view piece)
{
    if (!outputChunks->appendProgramOutput(piece.data(), piece.size()))
        lostOutputBytes += static_cast<long>(piece.size());
    if (liveDisplay && !showArrivedOutput())
        liveDisplay = false;
}

// Room to read the next piece into, after the output kept so far: it is then kept without a copy.
char *roomForPiece(std::size_t count)
{
    return outputChunks->roomForProgramOutput(count);
}

// Says at the end of the results pane how much of the output it does not show.
void tellDroppedOutput(OutputPane *pane)
{
    std::string told;
    const long notShown = static_cast<long>(compilerOutput->size()) - textsw_length(pane);
    if (notShown > 0)
        told = "--- " + std::to_string(notShown) + " bytes of output not shown: the results window shows at most " +
               std::to_string(textsw_memory_limit(pane)) + " bytes ---";
    if (lostOutputBytes > 0)
        told += std::string(told.empty() ? "" : " ") + "--- " + std::to_string(lostOutputBytes) +
                " bytes of output lost: no memory was left for them ---";
    setResultsFooter(told);
}

void startAnimation()
{
    struct itimerval every;
    every.it_value.tv_sec = 0;
    every.it_value.tv_usec = 400000;
    every.it_interval = every.it_value;
    notify_set_itimer_func(mainFrame, animateCompiling, ITIMER_REAL, &every, nullptr);
}

void stopAnimation()
{
    notify_set_itimer_func(mainFrame, nullptr, ITIMER_REAL, nullptr, nullptr);
}

// The compile and run buttons of the button panel and the results window while the compile lock
// holds (locked) or after the compile (not locked).
void showLock(bool locked)
{
    if (buttonPanel) {
        if (compileButton)
            compileButton->setBusy(locked);
        for (ImageButton *button : {runButton, runForegroundButton})
            if (button)
                button->setInactive(locked);
        // Save is offered again only for a text that has something to save.
        if (saveButton)
            saveButton->setInactive(locked || !document.edited);
    }
    if (resultsWindow) {
        resultsWindow->compileButton->setBusy(locked);
        resultsWindow->runButton->setInactive(locked);
        resultsWindow->runForegroundButton->setInactive(locked);
    }
}

// The command could not be run as a child: it is typed into the terminal instead.
void fallBackToTerminal(const std::string &compilerCall)
{
    const std::string line = std::string("\r\n") + forkFailedMessage + "\r\n";
    ttysw_output(terminalPane, line.data(), static_cast<int>(line.size()));
    expandCommand(compilerCall.c_str());
}

// Opens the results window, or empties it for this compile; it shows the compile's output.
void prepareResultsWindow()
{
    if (resultsWindow)
        setResultsMessage("*** Compiling ***");
    else
        createResultsWindow();
    showOutputInResultsPane(outputChunks);
    resultsWindow->raise();
}

NotifyValue killCompiler(NotifyClient, int)
{
    if (compileRunning() && compilerProcess.processId() == interruptedCompiler)
        compilerProcess.kill();
    return NOTIFY_DONE;
}

void stopKillTimer()
{
    notify_set_itimer_func(breakClient, nullptr, ITIMER_REAL, nullptr, nullptr);
    interruptedCompiler = -1;
}

} // namespace

const NotifyClient compilerClient = &compilerClientMark;

void startCompile()
{
    // A second compile while one runs is refused as a locked one is: one child, one pipe.
    if (compileLock || currentConfiguration == plainFileConfiguration || compileRunning())
        return;
    refreshFileName();
    const std::string compilerCall = configurationTable[currentConfiguration].compilerCall;
    if (compilerCall.empty())
        return;

    const StartRefusal refusal =
        checkFileAndDirectory(document.fileName.c_str(), fileDirectory.c_str(), workingDirectory.c_str());
    if (refusal != StartRefusal::none) {
        showNotice(startRefusalNotice(refusal, true));
        showOpenDialog();
        return;
    }
    const CompileCommand command =
        expandCompilerCall(compilerCall.c_str(), document.fileName.c_str(), document.matchedExtension.c_str());
    if (command.sourceFormatDiffers) {
        showNotice(sourceFormatNotice());
        return;
    }

    offerToSave();
    // The notices ran an event loop: the configuration is read again, as it is now.
    const Configuration &configuration = configurationTable[currentConfiguration];
    if (!configuration.compilerTerminates()) {
        expandCommand(compilerCall.c_str());
        return;
    }

    const std::vector<std::string> &words = command.words;
    switch (compilerProcess.start(words)) {
    case CompilerProcess::Start::started:
        break;
    case CompilerProcess::Start::pipeFailed:
    case CompilerProcess::Start::forkFailed:
        fallBackToTerminal(compilerCall);
        return;
    case CompilerProcess::Start::noProgram: // a call of spaces only: nothing to run
    case CompilerProcess::Start::busy:
        return;
    }
    // Only a compile that runs replaces the state of the one before: the output that is still
    // shown is read from the directory it ran in.
    outputChunks = std::make_shared<OutputText>();
    lostOutputBytes = 0;
    compileDirectory = workingDirectory;
    outputParser.emplace(startErrorParser());

    notify_set_input_func(compilerClient, readCompilerOutput, compilerProcess.outputDescriptor());
    notify_set_wait3_func(compilerClient, compilerEnded, compilerProcess.processId());
    prepareResultsWindow();

    const std::string programLine = programNameLine(words);
    outputChunks->append(programLine);
    showArrivedOutput();
    liveDisplay = true;

    startAnimation();
    compilerOutput.reset();
    removeMessageMarks();
    letResultsLead();
    errorList.deactivateButtons();
    applyNavigationButtons();
    resultsWindow->closeButton->setInactive(true);
    if (configuration.disableSaveWhileCompiling()) {
        compileLock = true;
        showLock(true);
    }
}

NotifyValue readCompilerOutput(NotifyClient client, int fd)
{
    const CompilerProcess::ReadResult result = compilerProcess.readWaitingOutput(keepPiece, roomForPiece);
    if (outputParser)
        outputParser->parseArrived(outputChunks->text());
    // At the end of the output (or a pipe that cannot be read) the handler stops; the child's end
    // handler finishes the compile.
    if (result.endOfOutput || result.failed)
        notify_set_input_func(client, nullptr, fd);
    return NOTIFY_DONE;
}

NotifyValue compilerEnded(NotifyClient client, int, int status, const struct rusage *)
{
    const CompileEnd end = compileEndReport(status);
    if (!end.endsCompile) {
        setResultsMessage(end.message);
        return NOTIFY_IGNORED;
    }
    stopAnimation();
    stopKillTimer();
    setResultsMessage(end.message);

    // What is still waiting in the pipe is the compiler's output too. (Read once: a process the
    // compiler left behind may hold the pipe open and go on writing.)
    const int fd = compilerProcess.outputDescriptor();
    compilerProcess.readWaitingOutput(keepPiece, roomForPiece);
    notify_set_input_func(client, nullptr, fd);
    compilerProcess.closeOutput();
    compilerOutput = std::move(outputChunks);
    if (resultsWindow)
        tellDroppedOutput(resultsWindow->resultsPane);

    showLock(false);
    if (resultsWindow)
        resultsWindow->closeButton->setInactive(false);
    if (outputParser)
        finishErrorList(*outputParser);
    else
        rebuildErrorList();
    outputParser.reset();
    compileLock = false;
    return NOTIFY_DONE;
}

void stopCompile()
{
    if (!compileRunning() || interruptedCompiler == compilerProcess.processId())
        return;
    if (!compilerProcess.interrupt())
        return;
    interruptedCompiler = compilerProcess.processId();
    struct itimerval once {};
    once.it_value.tv_sec = secondsBeforeKill;
    notify_set_itimer_func(breakClient, killCompiler, ITIMER_REAL, &once, nullptr);
}

NotifyValue animateCompiling(NotifyClient, int)
{
    animationStep = nextAnimationStep(animationStep);
    setResultsMessage(compilingAnimationText(animationStep));
    return NOTIFY_DONE;
}
