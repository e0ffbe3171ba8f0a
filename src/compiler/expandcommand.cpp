#include "compiler/expandcommand.h"

#include "compiler/commandmacros.h"
#include "compiler/terminalcommands.h"
#include "documents/document.h"
#include "documents/documentactions.h"

#include <string>

void expandCommand(const char *commandTemplate)
{
    // The template may live in a table that a notice's event loop lets change: keep a copy.
    const std::string copy = commandTemplate ? commandTemplate : "";
    // Saving first: offerToSave refreshes the file name that the macros use.
    offerToSave();
    typeShellCommand(commandTypingSteps(copy.c_str(), document.fileName.c_str(), document.matchedExtension.c_str()));
}
