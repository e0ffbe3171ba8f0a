#pragma once
// Notices: modal questions with fixed message lines and a row of buttons.
//
// `notice_prompt` shows the lines exactly as given (in a fixed-pitch font, so spaced lines keep
// their shape) and the buttons in the given order, and returns when one is pressed: the yes-button
// answers 1, the no-button 0, any other button its own value. The yes-button is the default button
// that Return presses; without a yes-button the first button is the default. Escape and the window's
// close control press the button marked `escape`, and do nothing when no button is marked, so that a
// notice is never answered by accident.
//
// For tests, a NoticeScript answers notices without showing them and records each one.

#include <QPoint>
#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QWidget;

struct NoticeButton {
    enum Role { Yes, No, Other };
    std::string label;
    Role role = Other;
    int value = 0;       // the answer of an Other button
    bool escape = false; // pressed by Escape and by closing the notice's window
};

NoticeButton noticeYes(const std::string &label);
NoticeButton noticeNo(const std::string &label);
NoticeButton noticeButton(const std::string &label, int value);
// The same button, also pressed by Escape and by closing the window.
NoticeButton noticeEscape(NoticeButton button);

// Modal notice centred over `owner`'s window (over the screen when owner is null).
int notice_prompt(QWidget *owner, const std::vector<std::string> &lines, const std::vector<NoticeButton> &buttons);

// Modal notice with its top left corner at the screen position `where`, kept on the screen.
int notice_prompt_at(QWidget *owner, QPoint where, const std::vector<std::string> &lines,
                     const std::vector<NoticeButton> &buttons);

// One notice as it was asked.
struct NoticeRecord {
    std::vector<std::string> lines;
    std::vector<std::string> buttons; // labels, in order
    std::string defaultButton;        // the label that Return presses
    QWidget *owner = nullptr;
    bool placed = false; // shown at an explicit position
    QPoint where;        // that position
    int answer = 0;      // the value returned
    bool scripted = true; // false when the script had no answer and the default button was taken
};

// While a NoticeScript exists, notices are not shown: each is recorded and answered from the script
// (first the queued labels, then the responder, then the default button). The newest script
// answers; when it goes, the one before it answers again.
class NoticeScript {
public:
    NoticeScript();
    ~NoticeScript();
    NoticeScript(const NoticeScript &) = delete;
    NoticeScript &operator=(const NoticeScript &) = delete;

    // Queues a press of the button with this label for the next notice that has no answer yet.
    // A label the notice does not have is recorded in errors() and the default button is taken.
    void press(const std::string &label);
    // Answers every notice for which no label is queued; returns the label of the button to press.
    void setResponder(std::function<std::string(const NoticeRecord &)> responder);

    const std::vector<NoticeRecord> &shown() const { return shown_; }
    const std::vector<std::string> &errors() const { return errors_; }
    int pendingPresses() const { return static_cast<int>(queue_.size()); }
    void clear();

    int answer(NoticeRecord record, const std::vector<NoticeButton> &buttons);

private:
    std::deque<std::string> queue_;
    std::function<std::string(const NoticeRecord &)> responder_;
    std::vector<NoticeRecord> shown_;
    std::vector<std::string> errors_;
    NoticeScript *previous_;
};

// The value a button answers.
int noticeButtonAnswer(const NoticeButton &button);
