#include "toolkit/notice.h"
#include "support/waiting.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const std::vector<NoticeButton> replaceButtons = {noticeButton("cancel", 101), noticeNo("NO"), noticeYes("YES")};

// Runs `action` on the notice as soon as it is on the screen.
template <typename Action>
void whenNoticeShows(Action action)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget *notice = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            action(notice);
        }
    });
    poll->start(20);
}

void pressKey(QWidget *widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

QPushButton *buttonLabelled(QWidget *notice, const QString &label)
{
    for (QPushButton *button : notice->findChildren<QPushButton *>())
        if (button->text() == label)
            return button;
    return nullptr;
}

} // namespace

TEST(NoticeScript, AnswersFromTheQueueAndRecordsEveryNotice)
{
    NoticeScript script;
    script.press("YES");
    script.press("NO");
    script.press("cancel");
    QWidget owner;
    EXPECT_EQ(notice_prompt(&owner, {"REPLACE THIS STRING?"}, replaceButtons), 1);
    EXPECT_EQ(notice_prompt(&owner, {"REPLACE THIS STRING?"}, replaceButtons), 0);
    EXPECT_EQ(notice_prompt_at(&owner, QPoint(0, 700), {"REPLACE THIS STRING?"}, replaceButtons), 101);
    ASSERT_EQ(script.shown().size(), 3u);
    EXPECT_EQ(script.shown()[0].buttons, (std::vector<std::string>{"cancel", "NO", "YES"}));
    EXPECT_EQ(script.shown()[0].owner, &owner);
    EXPECT_FALSE(script.shown()[0].placed);
    EXPECT_TRUE(script.shown()[2].placed);
    EXPECT_EQ(script.shown()[2].where, QPoint(0, 700));
    EXPECT_TRUE(script.errors().empty());
}

TEST(NoticeScript, WithoutAnAnswerTheDefaultButtonIsTakenAndFlagged)
{
    NoticeScript script;
    script.setResponder([](const NoticeRecord &record) {
        return record.lines[0] == "ask me" ? std::string("Don't save") : std::string("no such button");
    });
    EXPECT_EQ(notice_prompt(nullptr, {"ask me"}, {noticeYes("SAVE"), noticeNo("Don't save")}), 0);
    EXPECT_EQ(notice_prompt(nullptr, {"other"}, {noticeNo("cancel"), noticeYes("Do it")}), 1);
    EXPECT_TRUE(script.shown()[0].scripted);
    EXPECT_FALSE(script.shown()[1].scripted);
    EXPECT_EQ(script.errors().size(), 1u);
}

TEST(NoticeDialog, ReturnPressesTheYesButtonWhereverItStands)
{
    int answer = -1;
    whenNoticeShows([](QWidget *notice) { pressKey(notice, Qt::Key_Return); });
    answer = notice_prompt(nullptr, {"REPLACE THIS STRING?"}, replaceButtons);
    EXPECT_EQ(answer, 1);
}

TEST(NoticeDialog, ShowsLinesExactlyInAFixedFontAndButtonsInOrder)
{
    const std::vector<std::string> lines = {" COULD NOT START TO COMPILE BECAUSE: ", "             there's no              "};
    std::vector<std::string> labels;
    std::vector<std::string> shownLines;
    bool fixedPitch = false;
    whenNoticeShows([&](QWidget *notice) {
        for (QLabel *label : notice->findChildren<QLabel *>()) {
            shownLines.push_back(label->text().toStdString());
            QFontMetrics metrics(label->font());
            fixedPitch = metrics.horizontalAdvance(QStringLiteral("iiii")) == metrics.horizontalAdvance(QStringLiteral("MMMM"));
        }
        for (QPushButton *button : notice->findChildren<QPushButton *>())
            labels.push_back(button->text().toStdString());
        buttonLabelled(notice, "NO")->click();
    });
    EXPECT_EQ(notice_prompt(nullptr, lines, replaceButtons), 0);
    EXPECT_EQ(shownLines, lines);
    EXPECT_TRUE(fixedPitch);
    EXPECT_EQ(labels, (std::vector<std::string>{"cancel", "NO", "YES"}));
}

TEST(NoticeDialog, EscapeAnswersOnlyWhenAButtonTakesIt)
{
    bool stillOpenAfterEscape = false;
    whenNoticeShows([&](QWidget *notice) {
        pressKey(notice, Qt::Key_Escape);
        stillOpenAfterEscape = notice->isVisible();
        buttonLabelled(notice, "cancel")->click();
    });
    EXPECT_EQ(notice_prompt(nullptr, {"PROMPT ON REPLACE?"}, {noticeYes("prompt"), noticeNo("replace all"), noticeButton("cancel", 101)}), 101);
    EXPECT_TRUE(stillOpenAfterEscape);

    whenNoticeShows([](QWidget *notice) { pressKey(notice, Qt::Key_Escape); });
    EXPECT_EQ(notice_prompt(nullptr, {"PROMPT ON REPLACE?"},
                            {noticeYes("prompt"), noticeNo("replace all"), noticeEscape(noticeButton("cancel", 101))}),
              101);
}

TEST(NoticeDialog, PlacedNoticeStandsAtItsPositionAndStaysOnTheScreen)
{
    QPoint placed, outside;
    QRect screen = QApplication::primaryScreen()->availableGeometry();
    whenNoticeShows([&](QWidget *notice) {
        placed = notice->pos();
        pressKey(notice, Qt::Key_Return);
    });
    notice_prompt_at(nullptr, QPoint(0, 300), {"REPLACE THIS STRING?"}, replaceButtons);
    whenNoticeShows([&](QWidget *notice) {
        outside = notice->frameGeometry().bottomRight();
        pressKey(notice, Qt::Key_Return);
    });
    notice_prompt_at(nullptr, QPoint(5000, 5000), {"REPLACE THIS STRING?"}, replaceButtons);
    EXPECT_EQ(placed, QPoint(0, 300));
    EXPECT_TRUE(screen.contains(outside));
}
