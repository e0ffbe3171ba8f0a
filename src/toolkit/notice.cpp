#include "toolkit/notice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

NoticeScript *activeScript = nullptr;

int defaultButtonIndex(const std::vector<NoticeButton> &buttons)
{
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].role == NoticeButton::Yes)
            return static_cast<int>(i);
    return 0;
}

int escapeButtonIndex(const std::vector<NoticeButton> &buttons)
{
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].escape)
            return static_cast<int>(i);
    return -1;
}

// The dialog: answers only through its buttons (and Escape or closing when a button takes those).
class NoticeDialog : public QDialog {
public:
    NoticeDialog(QWidget *owner, const std::vector<std::string> &lines, const std::vector<NoticeButton> &buttons)
        : QDialog(owner ? owner->window() : nullptr), buttons_(buttons)
    {
        setWindowTitle(QStringLiteral("Notice"));
        setModal(true);
        auto *layout = new QVBoxLayout(this);
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        for (const std::string &line : lines) {
            auto *label = new QLabel(QString::fromLocal8Bit(line.data(), static_cast<int>(line.size())));
            label->setTextFormat(Qt::PlainText);
            label->setFont(fixed);
            label->setAlignment(Qt::AlignHCenter);
            layout->addWidget(label);
        }
        auto *row = new QHBoxLayout;
        row->addStretch();
        int defaultIndex = defaultButtonIndex(buttons);
        for (size_t i = 0; i < buttons.size(); ++i) {
            const std::string &text = buttons[i].label;
            auto *button = new QPushButton(QString::fromLocal8Bit(text.data(), static_cast<int>(text.size())));
            button->setAutoDefault(false);
            if (static_cast<int>(i) == defaultIndex) {
                button->setDefault(true);
                button->setFocus();
            }
            int index = static_cast<int>(i);
            connect(button, &QPushButton::clicked, this, [this, index] { choose(index); });
            row->addWidget(button);
        }
        row->addStretch();
        layout->addLayout(row);
    }

    int answer() const { return answer_; }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape) {
            int index = escapeButtonIndex(buttons_);
            if (index >= 0)
                choose(index);
            return;
        }
        QDialog::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent *event) override
    {
        if (chosen_)
            return;
        int index = escapeButtonIndex(buttons_);
        if (index >= 0) {
            answer_ = noticeButtonAnswer(buttons_[static_cast<size_t>(index)]);
            chosen_ = true;
            done(Accepted);
        } else {
            event->ignore();
        }
    }

    void reject() override
    {
        // Only reached through Escape or closing, both handled above.
    }

private:
    void choose(int index)
    {
        answer_ = noticeButtonAnswer(buttons_[static_cast<size_t>(index)]);
        chosen_ = true;
        done(Accepted);
    }

    std::vector<NoticeButton> buttons_;
    int answer_ = 0;
    bool chosen_ = false;
};

int runNotice(QWidget *owner, bool placed, QPoint where, const std::vector<std::string> &lines,
              const std::vector<NoticeButton> &buttons)
{
    if (activeScript) {
        NoticeRecord record;
        record.lines = lines;
        for (const NoticeButton &button : buttons)
            record.buttons.push_back(button.label);
        record.owner = owner;
        record.placed = placed;
        record.where = where;
        if (!buttons.empty())
            record.defaultButton = buttons[static_cast<size_t>(defaultButtonIndex(buttons))].label;
        return activeScript->answer(record, buttons);
    }
    if (buttons.empty())
        return 0;
    NoticeDialog dialog(owner, lines, buttons);
    dialog.adjustSize();
    QRect frame(QPoint(0, 0), dialog.sizeHint());
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (placed) {
        frame.moveTopLeft(where);
    } else if (owner) {
        QWidget *top = owner->window();
        frame.moveCenter(top->frameGeometry().center());
    } else {
        frame.moveCenter(available.center());
    }
    // Keep the whole notice on the screen so that its buttons can be reached.
    if (frame.right() > available.right())
        frame.moveRight(available.right());
    if (frame.bottom() > available.bottom())
        frame.moveBottom(available.bottom());
    if (frame.left() < available.left())
        frame.moveLeft(available.left());
    if (frame.top() < available.top())
        frame.moveTop(available.top());
    dialog.move(frame.topLeft());
    dialog.exec();
    return dialog.answer();
}

} // namespace

NoticeButton noticeYes(const std::string &label)
{
    return NoticeButton{label, NoticeButton::Yes, 1, false};
}

NoticeButton noticeNo(const std::string &label)
{
    return NoticeButton{label, NoticeButton::No, 0, false};
}

NoticeButton noticeButton(const std::string &label, int value)
{
    return NoticeButton{label, NoticeButton::Other, value, false};
}

NoticeButton noticeEscape(NoticeButton button)
{
    button.escape = true;
    return button;
}

int noticeButtonAnswer(const NoticeButton &button)
{
    switch (button.role) {
    case NoticeButton::Yes:
        return 1;
    case NoticeButton::No:
        return 0;
    case NoticeButton::Other:
        break;
    }
    return button.value;
}

int notice_prompt(QWidget *owner, const std::vector<std::string> &lines, const std::vector<NoticeButton> &buttons)
{
    return runNotice(owner, false, QPoint(), lines, buttons);
}

int notice_prompt_at(QWidget *owner, QPoint where, const std::vector<std::string> &lines,
                     const std::vector<NoticeButton> &buttons)
{
    return runNotice(owner, true, where, lines, buttons);
}

// ---- scripted answers for tests -----------------------------------------------------------

NoticeScript::NoticeScript() : previous_(activeScript)
{
    activeScript = this;
}

NoticeScript::~NoticeScript()
{
    if (activeScript == this)
        activeScript = previous_;
}

void NoticeScript::press(const std::string &label)
{
    queue_.push_back(label);
}

void NoticeScript::setResponder(std::function<std::string(const NoticeRecord &)> responder)
{
    responder_ = std::move(responder);
}

void NoticeScript::clear()
{
    queue_.clear();
    shown_.clear();
    errors_.clear();
}

int NoticeScript::answer(NoticeRecord record, const std::vector<NoticeButton> &buttons)
{
    std::string label;
    bool haveLabel = false;
    if (!queue_.empty()) {
        label = queue_.front();
        queue_.pop_front();
        haveLabel = true;
    } else if (responder_) {
        label = responder_(record);
        haveLabel = true;
    }
    int index = -1;
    if (haveLabel) {
        for (size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i].label == label) {
                index = static_cast<int>(i);
                break;
            }
        if (index < 0)
            errors_.push_back("no button \"" + label + "\" in the notice \"" +
                              (record.lines.empty() ? std::string() : record.lines.front()) + "\"");
    }
    record.scripted = index >= 0;
    if (index < 0)
        index = defaultButtonIndex(buttons);
    record.answer = buttons.empty() ? 0 : noticeButtonAnswer(buttons[static_cast<size_t>(index)]);
    shown_.push_back(record);
    return record.answer;
}
