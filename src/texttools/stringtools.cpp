#include "texttools/stringtools.h"

#include "documents/document.h"
#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "texttools/texttoolstate.h"
#include "toolkit/selection.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"

#include <QApplication>

std::string heldString;

void copyString()
{
    std::string text = fetchSelection();
    if (!text.empty())
        heldString = std::move(text);
}

void cutString()
{
    if (textPaneReadOnly())
        return;
    const SelectionOwner owner = selection_inquire();
    std::string text = selection_ask(owner).text;
    if (text.empty())
        return;
    heldString = std::move(text);
    selection_delete(owner);
}

void insertString(TextPane *pane)
{
    if (!pane || textsw_read_only(pane) || (pane == textPane && document.readOnly))
        return;
    // A held string that the pane cannot take would leave the selection deleted and nothing in
    // its place.
    if (!pane->fits(static_cast<long>(heldString.size()))) {
        QApplication::beep();
        return;
    }
    selection_delete(selection_inquire());
    textsw_insert(pane, heldString.data(), static_cast<long>(heldString.size()));
}

void insertString()
{
    insertString(textPane);
}

void insertProjectString(int index)
{
    insertString(projectPane(index));
}

void insertStringTerminal()
{
    selection_delete(selection_inquire());
    ttysw_input(terminalPane, heldString.data(), static_cast<int>(heldString.size()));
}
