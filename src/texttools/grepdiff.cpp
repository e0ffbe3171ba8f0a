#include "texttools/grepdiff.h"

#include "compiler/expandcommand.h"
#include "compiler/terminalcommands.h"
#include "documents/documentactions.h"
#include "frame/mainframe.h"
#include "texttools/prompt.h"
#include "texttools/texttoolstate.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

namespace {

void onGrepReturn(PanelTextField *prompt)
{
    searchString = promptBytes(prompt, textPane);
    typeGrepCommand();
    closeToolPrompt();
}

} // namespace

std::string grepCommand(const std::string &string)
{
    std::string pattern = string;
    while (!pattern.empty() && pattern.back() == '\n')
        pattern.pop_back();
    const std::string option = !pattern.empty() && pattern[0] == '-' ? "-e " : "";
    return "grep " + option + shellWord(pattern) + " *\n";
}

void typeGrepCommand()
{
    typeShellCommand({grepCommand(searchString)});
}

void startGrep()
{
    searchStart = textsw_get_insertion_point(textPane);
    if (closeOpenToolPrompt())
        return;
    searchString = fetchSelection();
    if (!searchString.empty()) {
        typeGrepCommand();
        return;
    }
    openToolPrompt(menuBar, "Grep string -> ", promptVisibleCharacters, 0, onGrepReturn);
}

void startDiff()
{
    // "diff *# *#%": the edited file against the same name followed by a percent sign.
    expandCommand("diff *# *#%");
}
