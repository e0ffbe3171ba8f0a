#include "texttools/texttoolstate.h"

#include "texttools/prompt.h"
#include "toolkit/selection.h"

PanelTextField *toolPrompt;
std::string searchString;
long searchStart;
long selectionFirst;
long selectionLast;

void initialiseTextToolState()
{
    closeToolPrompt();
    searchString.clear();
    searchStart = 0;
    selectionFirst = selectionLast = -1;
}

std::string fetchSelection()
{
    const SelectionReply reply = selection_ask(selection_inquire());
    selectionFirst = reply.first;
    selectionLast = reply.last;
    return reply.text;
}
