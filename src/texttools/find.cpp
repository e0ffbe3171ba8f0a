#include "texttools/find.h"

#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "texttools/prompt.h"
#include "texttools/texttoolstate.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

namespace {

const char *const findLabel = "Search for -> ";

void onFindReturn(PanelTextField *prompt)
{
    searchString = promptBytes(prompt, textPane);
    if (findOccurrence(textPane, prompt->clientValue()))
        closeToolPrompt();
    else
        returnToToolPrompt();
}

void onProjectFindReturn(PanelTextField *prompt)
{
    TextPane *pane = projectPane(prompt->clientValue());
    if (!pane)
        return;
    searchString = promptBytes(prompt, pane);
    if (findOccurrence(pane, TEXTSW_FORWARD))
        closeToolPrompt();
    else
        returnToToolPrompt();
}

} // namespace

int findOccurrence(TextPane *pane, int direction)
{
    if (!pane)
        return 0;
    const long length = static_cast<long>(searchString.size());
    Textsw_index first = searchStart;
    Textsw_index end = textsw_length(pane) - 1;
    Textsw_index hit = textsw_find_bytes(pane, &first, &end, searchString.data(), length,
                                         direction == TEXTSW_FORWARD ? TEXTSW_FORWARD : TEXTSW_BACKWARD);
    if (hit < 0) {
        first = 0;
        end = searchStart;
        hit = textsw_find_bytes(pane, &first, &end, searchString.data(), length, TEXTSW_FORWARD);
    }
    if (hit < 0) {
        notice_prompt(mainFrame, {"Search string not found"}, {noticeYes("OK")});
        return 0;
    }
    textsw_possibly_normalize(pane, hit);
    textsw_set_selection(pane, hit, hit + length, TEXTSW_SEL_PRIMARY);
    textsw_set_insertion_point(pane, direction == TEXTSW_FORWARD ? end : first);
    return 1;
}

void startFind(int direction)
{
    searchStart = textsw_get_insertion_point(textPane);
    if (closeOpenToolPrompt())
        return;
    const std::string selected = fetchSelection();
    if (selected.empty()) {
        openToolPrompt(menuBar, findLabel, promptVisibleCharacters, direction, onFindReturn);
        return;
    }
    searchString = selected;
    searchStart = direction == TEXTSW_FORWARD ? selectionLast + 1 : selectionFirst;
    findOccurrence(textPane, direction);
}

void findNext(int direction)
{
    searchStart = textsw_get_insertion_point(textPane);
    findOccurrence(textPane, direction);
}

void findProjectNext(int index, int direction)
{
    TextPane *pane = projectPane(index);
    if (!pane)
        return;
    searchStart = textsw_get_insertion_point(pane);
    findOccurrence(pane, direction);
}

void startProjectFind(int index)
{
    if (closeOpenToolPrompt())
        return;
    TextPane *pane = projectPane(index);
    if (!pane)
        return;
    searchStart = textsw_get_insertion_point(pane);
    searchString = fetchSelection();
    if (searchString.empty()) {
        openToolPrompt(projectWindowTable[index]->buttonBar, findLabel, promptVisibleCharacters, index,
                       onProjectFindReturn);
        return;
    }
    findOccurrence(pane, TEXTSW_FORWARD);
}
