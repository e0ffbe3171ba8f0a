#pragma once
// The terminal pane: a terminal emulator running the user's shell ($SHELL, else /bin/sh) on a pty,
// started in the process's working directory when the pane is created. Hiding the pane keeps the
// shell running.
//
// ttysw_input types bytes into the terminal as if the user had typed them (control characters
// included: Ctrl-C interrupts the foreground job). ttysw_output shows bytes as if the program
// running in the terminal had printed them; they are never executed.
//
// While the terminal has the keyboard focus every key goes to the program running there; only the
// function keys act as the window's shortcuts.

#include "toolkit/selection.h"

#include <qtermwidget.h>

#include <QByteArray>

#include <functional>
#include <string>
#include <vector>

class QKeyEvent;
class QMenu;
class QSocketNotifier;

// A holder of the selection service: selecting text in the terminal claims the X PRIMARY, and
// the pane answers with the selected text and its positions in wholeText().
class TerminalPane : public QTermWidget, public SelectionHolder {
    Q_OBJECT
public:
    explicit TerminalPane(QWidget *parent = nullptr);
    ~TerminalPane() override;

    // The menu that the right mouse button shows; null shows none.
    void setPopupMenu(QMenu *menu);
    QMenu *popupMenu() const { return popupMenu_; }

    // The terminal's whole text, history first, lines ended by '\n' (a line wrapped at the
    // terminal's width continues without one), UTF-8.
    std::string wholeText();
    // The selected text; `first` and `last` (inclusive) are its byte positions in wholeText().
    // Returns false, with an empty text and both positions -1, when nothing is selected.
    bool selection(std::string *text, int *first, int *last);

    // SelectionHolder; the terminal's text cannot be deleted, so the delete request does nothing.
    std::string selectedBytes() override;
    long selectionFirst() override;
    long selectionLast() override;
    void deleteSelection() override {}

    // Queues bytes for the shell's input / for the terminal's display. Both return at once;
    // the bytes are written in order as the pty accepts them.
    void typeBytes(const char *bytes, int length);
    void showBytes(const char *bytes, int length);

    // The pty's descriptors (-1 when unknown). Tests use the shell's process id to wait for it.
    int masterFd() const { return masterFd_; }
    int shellPid();

    // Whether the shell waits at an empty prompt, told apart in three ways:
    // True while another process group than the shell's holds the terminal's foreground (a
    // program the shell started, such as vim or sleep); `program` then receives its name, or
    // stays empty when it cannot be found.
    bool programInForeground(std::string *program);
    // True when keys have gone to the terminal since the last Return, Ctrl-C or Ctrl-U (typed by
    // the user, pasted, or typed through ttysw_input): the shell's line may hold a half-typed
    // command.
    bool lineHalfTyped() const { return lineHalfTyped_; }
    // True while bytes typed into the terminal have not been read by the program there yet.
    bool inputUnread();
    // True while the shell waits for input (blocked reading the terminal): it is at its prompt,
    // not between a program's end and the prompt. True as well when that cannot be told.
    bool shellReadingInput();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Writer;
    QString wholeQText();
    void noteKeyPress(const QKeyEvent *event);
    void noteTypedBytes(const char *bytes, int length);
    bool lineHalfTyped_ = false;
    QMenu *popupMenu_ = nullptr;
    int masterFd_ = -1;
    int displayFd_ = -1;
    Writer *inputWriter_ = nullptr;
    Writer *outputWriter_ = nullptr;
};

int ttysw_input(TerminalPane *pane, const char *bytes, int length);
int ttysw_output(TerminalPane *pane, const char *bytes, int length);

// Test hook: while a TerminalInputRecorder exists, every ttysw_input call is recorded (one entry
// per call, the exact bytes). With passThrough false the bytes are only recorded, not typed. The
// newest recorder records; when it goes, the one before it records again.
class TerminalInputRecorder {
public:
    explicit TerminalInputRecorder(bool passThrough = true);
    ~TerminalInputRecorder();
    TerminalInputRecorder(const TerminalInputRecorder &) = delete;
    TerminalInputRecorder &operator=(const TerminalInputRecorder &) = delete;

    const std::vector<std::string> &inputs() const { return inputs_; }
    std::string all() const;
    void clear() { inputs_.clear(); }
    // Called after each recorded input.
    void setCallback(std::function<void(TerminalPane *, const std::string &)> callback)
    {
        callback_ = std::move(callback);
    }

    bool passThrough() const { return passThrough_; }
    void record(TerminalPane *pane, const std::string &bytes);

private:
    bool passThrough_;
    std::vector<std::string> inputs_;
    std::function<void(TerminalPane *, const std::string &)> callback_;
    TerminalInputRecorder *previous_;
};
