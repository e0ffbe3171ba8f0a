// Typing commands into the shell only when it waits at an empty prompt; the waiting commands, the
// line that says why they wait, and the Escape key that drops them.
#include "compiler/terminalcommands.h"

#include "frame/mainframe.h"
#include "toolkit/notifier.h"
#include "toolkit/shortcuts.h"
#include "toolkit/terminalpane.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>

#include <algorithm>
#include <deque>

namespace {

struct WaitingCommand {
    std::vector<std::string> inputs;
    std::string whole; // the inputs joined: a second request of the same text drops it
};

std::deque<WaitingCommand> waiting;
QPointer<TerminalPane> waitingFor; // the terminal the commands wait for
QPointer<QLabel> waitingLine;
QPointer<QAction> dropKey;
QElapsedTimer waitingSince;
std::string shownReason;
// Consecutive checks that found the shell ready. Two are needed after a wait, so that a command
// typed just before has been read and whatever it started has taken the terminal.
int readyChecks = 0;

int pollMark;
const NotifyClient pollClient = &pollMark;
constexpr long pollMicroseconds = 100000;
// A shell that has not yet read what was typed before is named only when that lasts: usually it
// reads it at once.
constexpr qint64 quietUnreadMilliseconds = 1000;

const char waitingPrefix[] = "Waiting for the terminal: ";

// Why the terminal cannot take a command now; empty when the shell waits at an empty prompt.
// `loud` tells whether the reason is shown at once. A command that has waited also waits for the
// shell to be back at its prompt, reading (after a program ends the shell sets the terminal up
// again first); one asked for at an idle terminal goes in at once.
std::string notReadyReason(TerminalPane *terminal, bool afterWaiting, bool *loud)
{
    *loud = true;
    std::string program;
    if (terminal->programInForeground(&program))
        return (program.empty() ? std::string("a program") : program) + " is running";
    if (terminal->lineHalfTyped())
        return "its command line is not empty";
    if (terminal->inputUnread() || (afterWaiting && !terminal->shellReadingInput())) {
        *loud = false;
        return "the shell is busy";
    }
    return std::string();
}

void typeNow(const WaitingCommand &command)
{
    for (const std::string &input : command.inputs)
        ttysw_input(terminalPane, input.data(), static_cast<int>(input.size()));
}

QLabel *line()
{
    if (!waitingLine && menuBar) {
        auto *label = new QLabel;
        label->setObjectName("WaitingLine");
        label->setToolTip(QStringLiteral("Escape drops the waiting command; choosing the command again drops it too."));
        label->hide();
        addToMenuBar(label);
        label->hide();
        waitingLine = label;
    }
    return waitingLine;
}

QAction *escapeKey()
{
    if (!dropKey && mainFrame)
        dropKey = shortcut_bind(mainFrame, QKeySequence(Qt::Key_Escape), dropWaitingShellCommands);
    return dropKey;
}

NotifyValue checkTerminal(NotifyClient, int);

// Brings the timer, the waiting line and the Escape key in line with the waiting commands.
void showWaiting()
{
    if (waiting.empty()) {
        notify_set_itimer_func(pollClient, nullptr, ITIMER_REAL, nullptr, nullptr);
        shownReason.clear();
        if (waitingLine)
            waitingLine->hide();
        if (dropKey)
            dropKey->setEnabled(false);
        return;
    }
    bool loud = true;
    const std::string reason = waitingFor ? notReadyReason(waitingFor, true, &loud) : std::string();
    if (!reason.empty() && (loud || waitingSince.elapsed() >= quietUnreadMilliseconds))
        shownReason = reason;
    if (QLabel *label = line()) {
        label->setText(QString::fromLocal8Bit((waitingPrefix + shownReason).c_str()));
        label->setVisible(!shownReason.empty());
    }
    if (QAction *key = escapeKey())
        key->setEnabled(true);
}

void startChecking()
{
    struct itimerval every {};
    every.it_value.tv_usec = pollMicroseconds;
    every.it_interval.tv_usec = pollMicroseconds;
    notify_set_itimer_func(pollClient, checkTerminal, ITIMER_REAL, &every, nullptr);
}

NotifyValue checkTerminal(NotifyClient, int)
{
    // A terminal that went (a main frame destroyed) takes none of the commands.
    if (!waitingFor || waitingFor != terminalPane)
        waiting.clear();
    if (!waiting.empty()) {
        bool loud = true;
        readyChecks = notReadyReason(waitingFor, true, &loud).empty() ? readyChecks + 1 : 0;
        if (readyChecks >= 2) {
            const WaitingCommand command = waiting.front();
            waiting.pop_front();
            readyChecks = 0;
            typeNow(command);
        }
    }
    showWaiting();
    return NOTIFY_DONE;
}

} // namespace

void typeShellCommand(const std::vector<std::string> &inputs)
{
    if (!terminalPane)
        return;
    if (waitingFor != terminalPane)
        waiting.clear();
    WaitingCommand command{inputs, std::string()};
    for (const std::string &input : inputs)
        command.whole += input;
    const auto same = std::find_if(waiting.begin(), waiting.end(),
                                   [&](const WaitingCommand &other) { return other.whole == command.whole; });
    if (same != waiting.end()) {
        waiting.erase(same);
        showWaiting();
        return;
    }
    bool loud = true;
    if (waiting.empty() && notReadyReason(terminalPane, false, &loud).empty()) {
        typeNow(command);
        return;
    }
    if (waiting.empty()) {
        waitingFor = terminalPane;
        waitingSince.start();
        readyChecks = 0;
        startChecking();
    }
    waiting.push_back(std::move(command));
    showWaiting();
}

int waitingShellCommandCount()
{
    return static_cast<int>(waiting.size());
}

void dropWaitingShellCommands()
{
    waiting.clear();
    showWaiting();
}

std::string waitingLineText()
{
    return waitingLine && !waitingLine->isHidden() ? waitingLine->text().toLocal8Bit().toStdString() : std::string();
}
