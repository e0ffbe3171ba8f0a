#include "texttools/texttoolstate.h"

#include "documents/document.h"
#include "frame/mainframe.h"
#include "texttools/prompt.h"
#include "toolkit/selection.h"
#include "toolkit/textpane.h"

PanelTextField *toolPrompt;
std::string searchString;
long searchStart;
long selectionFirst;
long selectionLast;

bool textPaneReadOnly()
{
    return document.readOnly || textsw_read_only(textPane);
}

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
