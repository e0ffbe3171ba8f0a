#include "texttools/columntool.h"

#include "frame/mainframe.h"
#include "texttools/columnwalk.h"
#include "texttools/prompt.h"
#include "texttools/texttoolstate.h"
#include "toolkit/focus.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

namespace {

constexpr int columnStringCharacters = 99;

enum Answer { insertAtBegin = 101, insertAtEnd = 102, removeAtBegin = 103, removeAtEnd = 104 };

// The selection as it was when the tool started; later requests to the selection service do
// not move it.
long columnFirst = -1;
long columnLast = -1;

int askOperation()
{
    return notice_prompt(mainFrame,
                         {"Insert or remove string", " at the beginning / end", "of each selected line ?", ""},
                         {noticeButton("Insert at begin", insertAtBegin), noticeButton("Insert at end", insertAtEnd),
                          noticeButton("Remove at begin", removeAtBegin), noticeButton("Remove at end", removeAtEnd),
                          noticeEscape(noticeNo("cancel"))});
}

bool operationFor(int answer, ColumnOperation &operation)
{
    switch (answer) {
    case insertAtBegin:
        operation = ColumnOperation::InsertAtBegin;
        return true;
    case insertAtEnd:
        operation = ColumnOperation::InsertAtEnd;
        return true;
    case removeAtBegin:
        operation = ColumnOperation::RemoveAtBegin;
        return true;
    case removeAtEnd:
        operation = ColumnOperation::RemoveAtEnd;
        return true;
    default:
        return false;
    }
}

// Makes every change in one splice. The caret ends as the changes made one by one would leave it: after
// the last string put in, or moved back with the text that was removed in front of it.
void applyColumnOperation(ColumnOperation operation, const std::string &string)
{
    const long length = textsw_length(textPane);
    const std::string_view text(length > 0 ? textPane->rangePointer(0, length) : "", static_cast<size_t>(length));
    const std::vector<long> positions = columnEditPositions(text, columnFirst, columnLast, operation, string);
    if (positions.empty())
        return;
    const ColumnSplice splice = columnSplice(text, positions, operation, string);
    const bool add = operation == ColumnOperation::InsertAtBegin || operation == ColumnOperation::InsertAtEnd;
    Textsw_index selectedFirst = 0, selectedEnd = 0;
    const bool selected = textsw_get_selection(textPane, &selectedFirst, &selectedEnd, TEXTSW_SEL_PRIMARY);
    const auto moved = [&](long position) { return columnMovedPosition(position, positions, operation, string); };
    const long caret = add ? positions.back() + static_cast<long>(string.size() * positions.size())
                           : moved(textsw_get_insertion_point(textPane));
    // textsw_replace_bytes is one undo step with one notification, its events masked.
    if (textsw_replace_bytes(textPane, splice.from, splice.to, splice.bytes.data(),
                             static_cast<long>(splice.bytes.size())) < 0) {
        notice_prompt(mainFrame, {"Column add/del stopped:", "the text cannot take the strings"}, {noticeYes("OK")});
        return;
    }
    if (!add && selected)
        textsw_set_selection(textPane, moved(selectedFirst), moved(selectedEnd), TEXTSW_SEL_PRIMARY);
    textsw_set_insertion_point(textPane, caret);
}

} // namespace

void startColumnTool()
{
    if (textPaneReadOnly())
        return;
    searchStart = textsw_get_insertion_point(textPane);
    if (closeOpenToolPrompt())
        return;
    searchString = fetchSelection();
    columnFirst = selectionFirst;
    columnLast = selectionLast;
    if (searchString.empty()) {
        notice_prompt(mainFrame, {"Please select some", "    lines first   "}, {noticeYes("OK")});
        return;
    }
    // The prompt takes the keyboard, so that the string typed goes into it and not over the
    // selected lines.
    openToolPrompt(menuBar, "String -> ", promptVisibleCharacters, 0, runColumnTool);
}

void runColumnTool(PanelTextField *prompt)
{
    // At most 99 characters of what was typed (the prompt holds up to 256); a character is never
    // cut in two.
    const QString typed = prompt->value();
    int units = 0;
    for (int characters = 0; characters < columnStringCharacters && units < typed.size(); ++characters)
        units += typed.at(units).isHighSurrogate() && units + 1 < typed.size() ? 2 : 1;
    prompt->setValue(typed.left(units));
    const std::string string = promptBytes(prompt, textPane);
    closeToolPrompt();
    ColumnOperation operation;
    if (operationFor(askOperation(), operation) && !textPaneReadOnly())
        applyColumnOperation(operation, string);
    // The keyboard is back in the text, where the lines changed.
    focus_give_to(textPane);
}
