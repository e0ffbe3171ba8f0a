#include "compiler/errornavigation.h"
#include "config/configuration.h"
#include "config/configurationdialog.h"
#include "documents/document.h"
#include "documents/documentactions.h"

// "Choose configuration": makes the chosen slot current, shows it in the title and parses the
// last compiler output again with its error form. The matched extension stays.
void chooseConfiguration(int slot)
{
    if (slot < 0 || slot >= configurationSlots)
        return;
    refreshFileName();
    currentConfiguration = slot;
    setMainTitle(document.edited ? editedDocumentTitle() : documentTitle());
    rebuildErrorList();
}
