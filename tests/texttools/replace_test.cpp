#include "texttools/mainwindowfixture.h"

#include "texttools/gotoline.h"
#include "texttools/replace.h"

#include <QLabel>

#include <algorithm>
#include <cstdlib>

namespace {

const char *const modeQuestion = "PROMPT ON REPLACE?";
const char *const occurrenceQuestion = "REPLACE THIS STRING?";

class ReplaceTest : public MainWindowTest {
protected:
    // Replace with nothing selected: types the two prompts' values; the notices answer from
    // the script.
    void replace(const std::string &search, const std::string &replacement)
    {
        QApplication::clipboard()->clear(QClipboard::Selection);
        startReplace();
        ASSERT_NE(toolPrompt, nullptr);
        EXPECT_EQ(toolPrompt->findChild<QLabel *>()->text(), "Replace this -> ");
        answerPrompt(search);
        ASSERT_NE(toolPrompt, nullptr);
        EXPECT_EQ(toolPrompt->findChild<QLabel *>()->text(), "Replace with -> ");
        answerPrompt(replacement);
        EXPECT_EQ(toolPrompt, nullptr);
    }
};

TEST_F(ReplaceTest, ReplaceAllNeverReplacesInsideAReplacement)
{
    setText("aab", 3);
    notices.press("replace all");
    replace("a", "ab");
    EXPECT_EQ(paneText(), "ababb");
    EXPECT_EQ(firstLines(), Lines{modeQuestion});
    EXPECT_EQ(notices.shown()[0].buttons, (Lines{"prompt", "replace all", "cancel"}));
    EXPECT_EQ(searchString, "a");
    textsw_undo(textPane); // one undo step takes the whole replace back
    EXPECT_EQ(paneText(), "aab");
}

TEST_F(ReplaceTest, StartsAtTheCaretAndStopsWhereItBegan)
{
    // Replace all: occurrences after the caret, then those before it, each once.
    setText("a-a-a-a", 3);
    notices.press("replace all");
    replace("a", "aa");
    EXPECT_EQ(paneText(), "aa-aa-aa-aa");

    // One by one shows the order: after the caret first, then from the top.
    setText("a-a-a-a", 3);
    std::vector<long> asked;
    notices.setResponder([&](const NoticeRecord &record) {
        if (record.lines[0] == modeQuestion)
            return std::string("prompt");
        asked.push_back(selection().first);
        return std::string("YES");
    });
    replace("a", "aa");
    EXPECT_EQ(asked, (std::vector<long>{4, 7, 0, 3}));
    EXPECT_EQ(paneText(), "aa-aa-aa-aa");
    const NoticeRecord &question = notices.shown().back();
    EXPECT_EQ(question.lines, Lines{occurrenceQuestion});
    EXPECT_EQ(question.buttons, (Lines{"YES", "NO", "cancel"}));
    EXPECT_TRUE(question.placed);
    EXPECT_EQ(question.where, QPoint(0, 700));
}

TEST_F(ReplaceTest, DefaultButtonFollowsTheLastAnswer)
{
    setText("x1x2x3x4x5", 0);
    std::vector<std::string> defaults;
    const std::vector<std::string> answers{"NO", "NO", "YES", "NO", "YES"};
    notices.setResponder([&](const NoticeRecord &record) {
        if (record.lines[0] == modeQuestion)
            return std::string("prompt");
        defaults.push_back(record.defaultButton);
        return answers[defaults.size() - 1];
    });
    replace("x", "");
    EXPECT_EQ(defaults, (Lines{"YES", "NO", "NO", "YES", "NO"}));
    EXPECT_EQ(paneText(), "x1x23x45"); // "NO" with an empty replacement moves on
}

TEST_F(ReplaceTest, ReplacingATextByItselfCoversTheTextOnce)
{
    setText("ab ab ab", 4);
    notices.setResponder([](const NoticeRecord &record) {
        return std::string(record.lines[0] == modeQuestion ? "prompt" : "YES");
    });
    replace("ab", "ab");
    EXPECT_EQ(notices.shown().size(), 4u);
    notices.clear();
    notices.setResponder(nullptr);
    notices.press("replace all");
    replace("ab", "ab");
    EXPECT_EQ(paneText(), "ab ab ab");
}

TEST_F(ReplaceTest, CancelKeepsWhatWasReplaced)
{
    setText("c c c c", 0);
    notices.press("cancel");
    replace("c", "d");
    EXPECT_EQ(paneText(), "c c c c");
    EXPECT_EQ(toolPrompt, nullptr);

    textsw_set_insertion_point(textPane, 0);
    for (const char *answer : {"prompt", "YES", "NO", "YES", "cancel"})
        notices.press(answer);
    replace("c", "dd");
    EXPECT_EQ(paneText(), "dd c dd c");
    EXPECT_EQ(notices.pendingPresses(), 0);
}

TEST_F(ReplaceTest, SelectedOccurrenceIsTheFirstProcessed)
{
    setText("k1 k2 k3", 8);
    textsw_set_selection(textPane, 3, 4, TEXTSW_SEL_PRIMARY);
    startReplace();
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(selection(), std::make_pair(3L, 4L));
    notices.press("prompt");
    notices.press("YES");
    notices.press("cancel");
    answerPrompt("K");
    EXPECT_EQ(paneText(), "k1 K2 k3");
}

TEST_F(ReplaceTest, NotFoundEndsBeforeTheSecondPrompt)
{
    setText("nothing here", 0);
    startReplace();
    answerPrompt("zz");
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(firstLines(), Lines{"Search string not found"});
}

TEST_F(ReplaceTest, DoesNothingOnAReadOnlyPane)
{
    setText("aaa", 0);
    startGoToLine();
    PanelTextField *open = toolPrompt;
    ASSERT_NE(open, nullptr);
    textsw_set_read_only(textPane, true);
    startReplace(); // not even the open prompt is closed
    EXPECT_EQ(toolPrompt, open);
    textsw_set_read_only(textPane, false);
    document.readOnly = true;
    startReplace();
    EXPECT_EQ(toolPrompt, open);
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(ReplaceTest, ReplaceAllStopsAtTheMemoryLimitWithANotice)
{
    setText("a.a.a.a", 0);
    textsw_set_memory_limit(textPane, 9);
    notices.press("replace all");
    replace("a", "bb");
    EXPECT_EQ(paneText(), "bb.bb.a.a");
    EXPECT_EQ(firstLines().back(), "Replace stopped:");
}

// The replace loop written plainly on a string, one replacement at a time.
std::string replacedPlainly(std::string text, const std::string &s, const std::string &r, long searchStart)
{
    auto find = [&](long from) -> long {
        from = std::clamp(from, 0L, static_cast<long>(text.size()));
        size_t hit = text.find(s, static_cast<size_t>(from));
        if (hit == std::string::npos)
            hit = text.substr(0, static_cast<size_t>(from) + s.size() - 1).find(s);
        return hit == std::string::npos ? -1 : static_cast<long>(hit);
    };
    long start = searchStart, endMark = static_cast<long>(text.size()) - 1;
    bool second = false;
    for (;;) {
        long d = find(start);
        if (d > endMark)
            break;
        if (d < 0 || d < start) {
            if (second || start == 0)
                break;
            second = true;
            start = 0;
            endMark = searchStart - 1;
            d = find(0);
            if (d < 0 || d > endMark)
                break;
        }
        text.replace(static_cast<size_t>(d), s.size(), r);
        endMark += static_cast<long>(r.size() - s.size());
        start = d + static_cast<long>(r.size());
    }
    return text;
}

TEST_F(ReplaceTest, ReplaceAllGivesWhatOneReplacementAtATimeGives)
{
    srand(7);
    const std::vector<std::string> words{"a", "ab", "ba", "aa", "", "b", "aba"};
    for (int round = 0; round < 150; ++round) {
        std::string original;
        for (int i = rand() % 14; i > 0; --i)
            original += "ab."[rand() % 3];
        const std::string search = words[static_cast<size_t>(rand()) % (words.size() - 1)];
        if (search.empty() || original.find(search) == std::string::npos)
            continue;
        const std::string replacement = words[static_cast<size_t>(rand()) % words.size()];
        const long start = rand() % (static_cast<long>(original.size()) + 1);
        setText(original, start);
        notices.press("replace all");
        replace(search, replacement);
        ASSERT_EQ(paneText(), replacedPlainly(original, search, replacement, start))
            << original << " " << search << "->" << replacement << " from " << start;
    }
}

} // namespace
