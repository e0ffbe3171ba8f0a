// The keyboard shortcuts of the main window. Each key chooses a menu item, so that it runs the
// item's operation with its notices and checks, and the menus show it beside the item.
#include "shell/mainwindow.h"

#include "toolkit/menus.h"
#include "toolkit/shortcuts.h"

#include <QAction>
#include <QMenu>

namespace {

struct MenuShortcut {
    const char *keys;
    QMenu **menu;
    QStringList path; // labels from the menu down to the item
};

// One row per key. A key that belongs to no menu item can be bound with shortcut_bind instead.
const MenuShortcut menuShortcuts[] = {
    {"Ctrl+O", &fileMenu, {"Open"}},
    {"Ctrl+S", &fileMenu, {"Save"}},
    {"Ctrl+Shift+S", &fileMenu, {"Save as"}},
    {"Ctrl+Q", &fileMenu, {"QUIT"}},
    {"Ctrl+F", &toolsMenu, {"Find", "searching forward"}},
    {"F3", &toolsMenu, {"Find next", "searching forward"}},
    {"Shift+F3", &toolsMenu, {"Find next", "searching backward"}},
    {"Ctrl+G", &toolsMenu, {"Line number"}},
    {"Ctrl+H", &toolsMenu, {"Replace"}},
    {"Ctrl+Z", &toolsMenu, {"Undo"}},
    {"Ctrl+F7", &executeMenu, {"Compile current file"}},
    {"Ctrl+F5", &executeMenu, {"Run in foreground"}},
};

} // namespace

void installShortcuts()
{
    for (const MenuShortcut &shortcut : menuShortcuts) {
        const QKeySequence keys(QString::fromLatin1(shortcut.keys));
        shortcut_bind_item(mainFrame, menuFindItem(*shortcut.menu, shortcut.path), keys);
        // The pop-up menus that hold the same item show the key too.
        for (QMenu *popup : {textToolsMenu, compilerToolsMenu})
            shortcut_show_on_item(menuFindItem(popup, shortcut.path), keys);
    }
}
