#include "compiler/messagekeys.h"

#include "compiler/compiling.h"
#include "compiler/errornavigation.h"
#include "compiler/resultswindow.h"
#include "compiler/running.h"
#include "compiler/terminalmessages.h"
#include "frame/keys.h"
#include "toolkit/imagebutton.h"
#include "toolkit/shortcuts.h"

void addMessageKeys(QWidget *window)
{
    if (!window)
        return;
    shortcut_bind(window, QKeySequence(QLatin1String(keys::nextMessage)), nextMessageKey);
    shortcut_bind(window, QKeySequence(QLatin1String(keys::previousMessage)), previousMessageKey);
}

void addCompileKeys(QWidget *window)
{
    if (!window)
        return;
    shortcut_bind(window, QKeySequence(QLatin1String(keys::compile)), startCompile);
    shortcut_bind(window, QKeySequence(QLatin1String(keys::runInForeground)), runInForeground);
}

void addBreakKey(QWidget *resultsWindow)
{
    if (resultsWindow)
        shortcut_bind(resultsWindow, QKeySequence(Qt::Key_Escape), breakExecution);
}

void nextMessageKey()
{
    if (terminalMessagesLead())
        nextTerminalMessage();
    else if (resultsWindow && !resultsWindow->nextButton->isInactive())
        nextError();
}

void previousMessageKey()
{
    if (terminalMessagesLead())
        previousTerminalMessage();
    else if (resultsWindow && !resultsWindow->previousButton->isInactive())
        previousError();
}
