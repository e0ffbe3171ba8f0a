#include "compiler/messagekeys.h"

#include "compiler/errornavigation.h"
#include "compiler/resultswindow.h"
#include "shell/operations.h"
#include "toolkit/imagebutton.h"

#include <QShortcut>

namespace {

void addKey(QWidget *window, const QKeySequence &key, void (*action)())
{
    auto *shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(true);
    QObject::connect(shortcut, &QShortcut::activated, action);
}

} // namespace

void addMessageKeys(QWidget *window)
{
    if (!window)
        return;
    addKey(window, QKeySequence(Qt::Key_F8), nextMessageKey);
    addKey(window, QKeySequence(Qt::SHIFT | Qt::Key_F8), previousMessageKey);
}

void addBreakKey(QWidget *resultsWindow)
{
    if (resultsWindow)
        addKey(resultsWindow, QKeySequence(Qt::Key_Escape), breakExecution);
}

void nextMessageKey()
{
    if (resultsWindow && !resultsWindow->nextButton->isInactive())
        nextError();
}

void previousMessageKey()
{
    if (resultsWindow && !resultsWindow->previousButton->isInactive())
        previousError();
}
