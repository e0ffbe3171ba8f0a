#include "texttools/gotoline.h"

#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "texttools/prompt.h"
#include "texttools/texttoolstate.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace {

const char *const lineLabel = "Select line number ";

void showLineNotFound()
{
    notice_prompt(mainFrame, {" Line number", "not found"}, {noticeYes("   Ok   ")});
}

// The line index that a number typed or selected by the user stands for.
int lineIndex(int number)
{
    return number == INT_MIN ? INT_MIN : number - 1;
}

void onLineReturn(PanelTextField *prompt)
{
    goToLine(textPane, lineIndex(decimalValue(promptBytes(prompt, textPane))));
    returnToToolPrompt(); // still open when the line was not found
}

void onProjectLineReturn(PanelTextField *prompt)
{
    TextPane *pane = projectPane(prompt->clientValue());
    if (pane)
        goToLine(pane, lineIndex(decimalValue(promptBytes(prompt, pane))));
    returnToToolPrompt();
}

// Goes to the selected number when it is positive, else opens the prompt in `panel`.
void goToSelectedLineOrPrompt(TextPane *pane, QWidget *panel, int value, PromptReturnProc onReturn)
{
    const int number = decimalValue(fetchSelection());
    if (number > 0) {
        goToLine(pane, number - 1);
        return;
    }
    openToolPrompt(panel, lineLabel, lineNumberVisibleCharacters, value, onReturn);
}

} // namespace

void goToLine(TextPane *pane, int line)
{
    if (!pane)
        return;
    const long length = textsw_length(pane);
    if (line < 0)
        closeToolPrompt();
    // The text is scanned in place: a line far down a long file costs one pass of memchr.
    const char *text = length > 0 ? pane->rangePointer(0, length) : nullptr;
    long pos = 0;
    for (long remaining = line; remaining > 0; --remaining) {
        const void *newline = pos < length ? std::memchr(text + pos, '\n', static_cast<size_t>(length - pos)) : nullptr;
        if (!newline) {
            showLineNotFound();
            return;
        }
        pos = static_cast<const char *>(newline) - text + 1;
    }
    textsw_possibly_normalize(pane, pos);
    const void *newline = pos < length ? std::memchr(text + pos, '\n', static_cast<size_t>(length - pos)) : nullptr;
    if (!newline) {
        showLineNotFound();
        return;
    }
    const long end = static_cast<const char *>(newline) - text + 1;
    textsw_set_selection(pane, pos, end, TEXTSW_SEL_PRIMARY);
    closeToolPrompt();
}

void goToLine(int projectSlot, int line)
{
    goToLine(projectPane(projectSlot), line);
}

void startGoToLine()
{
    if (closeOpenToolPrompt())
        return;
    goToSelectedLineOrPrompt(textPane, menuBar, 0, onLineReturn);
}

void startProjectGoToLine(int index)
{
    if (closeOpenToolPrompt())
        return;
    TextPane *pane = projectPane(index);
    if (pane)
        goToSelectedLineOrPrompt(pane, projectWindowTable[index]->buttonBar, index, onProjectLineReturn);
}

int decimalValue(const std::string &text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : value;
    return static_cast<int>(std::max(std::min(value, static_cast<long long>(INT_MAX)),
                                     static_cast<long long>(INT_MIN)));
}
