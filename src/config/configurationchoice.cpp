#include "compiler/errornavigation.h"
#include "config/configuration.h"
#include "config/configurationdialog.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "frame/mainframe.h"
#include "toolkit/menus.h"

#include <QAction>
#include <QMenu>

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

QString configurationLabel(int slot)
{
    return QString::fromLocal8Bit(configurationTable[slot].description);
}

void refreshConfigurationItem(int slot)
{
    if (!configurationMenu)
        return;
    for (QAction *item : menuItems(configurationMenu))
        if (menuItemValue(item) == slot)
            menuSetItemLabel(item, configurationLabel(slot));
}
