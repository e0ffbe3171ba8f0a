#include "compiler/messagekeys.h"

#include "compiler/errornavigation.h"
#include "compiler/resultswindow.h"
#include "compiler/running.h"
#include "compiler/terminalmessages.h"
#include "toolkit/imagebutton.h"
#include "toolkit/shortcuts.h"

void addMessageKeys(QWidget *window)
{
    if (!window)
        return;
    shortcut_bind(window, QKeySequence(Qt::Key_F8), nextMessageKey);
    shortcut_bind(window, QKeySequence(Qt::SHIFT | Qt::Key_F8), previousMessageKey);
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
