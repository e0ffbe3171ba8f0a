#include "texttools/replace.h"

#include "frame/mainframe.h"
#include "texttools/find.h"
#include "texttools/prompt.h"
#include "texttools/replacetarget.h"
#include "texttools/texttoolstate.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

#include <QPoint>

#include <memory>

std::string replacementString;

namespace {

constexpr int cancelAnswer = 101;
const QPoint questionPlace(0, 700);

enum class Answer { Yes, No, Cancel };

void onReplaceThisReturn(PanelTextField *prompt)
{
    searchString = promptBytes(prompt, textPane);
    askReplacement();
}

void onReplaceWithReturn(PanelTextField *)
{
    runReplace();
}

// "REPLACE THIS STRING?": the default button, the one Return presses, is the last answer given.
Answer askAboutOccurrence(bool defaultYes)
{
    const NoticeButton cancel = noticeEscape(noticeButton("cancel", cancelAnswer));
    const std::vector<NoticeButton> buttons =
        defaultYes ? std::vector<NoticeButton>{noticeYes("YES"), noticeNo("NO"), cancel}
                   : std::vector<NoticeButton>{noticeNo("YES"), noticeYes("NO"), cancel};
    const int answer = notice_prompt_at(mainFrame, questionPlace, {"REPLACE THIS STRING?"}, buttons);
    if (answer != 0 && answer != 1)
        return Answer::Cancel;
    return (answer == 1) == defaultYes ? Answer::Yes : Answer::No;
}

// The replace covers the text once: from searchStart to the end, then from the top up to where
// it began. The end mark follows every replacement, and each search resumes after the text just
// put in, so that nothing a replacement inserted is searched again. Returns false when it was
// cancelled.
bool replaceLoop(bool oneByOne)
{
    const long searchLength = static_cast<long>(searchString.size());
    const long replacementLength = static_cast<long>(replacementString.size());
    long start = searchStart;
    long endMark = textsw_length(textPane) - 1;
    bool secondPass = false;
    bool defaultYes = true;
    bool refused = false;
    {
        std::unique_ptr<TextswBatch> batch(oneByOne ? nullptr : new TextswBatch(textPane));
        ReplaceTarget target(textPane, !oneByOne);
        for (;;) {
            long d = target.find(start, searchString);
            if (d > endMark)
                break;
            if (d < 0 || d < start) {
                if (secondPass || start == 0)
                    break;
                secondPass = true;
                start = 0;
                endMark = searchStart - 1;
                d = target.find(0, searchString);
                if (d < 0 || d > endMark)
                    break;
            }
            if (oneByOne) {
                textsw_possibly_normalize(textPane, d);
                textsw_set_selection(textPane, d, d + searchLength, TEXTSW_SEL_PRIMARY);
                const Answer answer = askAboutOccurrence(defaultYes);
                if (answer == Answer::Cancel)
                    return false;
                defaultYes = answer == Answer::Yes;
                if (answer == Answer::No) {
                    start = d + searchLength;
                    continue;
                }
            }
            if (!target.replace(d, searchLength, replacementString)) {
                refused = true;
                break;
            }
            endMark += replacementLength - searchLength;
            start = d + replacementLength;
        }
    }
    // A pane that refuses a replacement (a memory limit reached, or made read-only while the
    // prompt was open) ends the replace; the replacements made so far stay.
    if (refused)
        notice_prompt(mainFrame, {"Replace stopped:", "the text cannot take the replacement"}, {noticeYes("OK")});
    return true;
}

} // namespace

void startReplace()
{
    if (textPaneReadOnly())
        return;
    searchStart = textsw_get_insertion_point(textPane);
    if (closeOpenToolPrompt())
        return;
    searchString = fetchSelection();
    if (!searchString.empty()) {
        searchStart = selectionFirst;
        askReplacement();
        return;
    }
    openToolPrompt(menuBar, "Replace this -> ", promptVisibleCharacters, 0, onReplaceThisReturn);
}

void askReplacement()
{
    closeToolPrompt();
    if (!findOccurrence(textPane, TEXTSW_FORWARD))
        return;
    openToolPrompt(menuBar, "Replace with -> ", promptVisibleCharacters, 0, onReplaceWithReturn);
}

void runReplace()
{
    replacementString = promptBytes(toolPrompt, textPane);
    const int mode = notice_prompt(mainFrame, {"PROMPT ON REPLACE?"},
                                   {noticeYes("prompt"), noticeNo("replace all"),
                                    noticeEscape(noticeButton("cancel", cancelAnswer))});
    closeToolPrompt();
    if (mode != 0 && mode != 1) {
        replacementString.clear();
        return;
    }
    if (!replaceLoop(mode == 1))
        replacementString.clear();
}
