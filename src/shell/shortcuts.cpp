// The keyboard shortcuts of the main window. Each key chooses a menu item, so that it runs the
// item's operation with its notices and checks, and the menus show it beside the item.
#include "shell/mainwindow.h"

#include "frame/keys.h"
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
    {keys::open, &fileMenu, {"Open"}},
    {keys::save, &fileMenu, {"Save"}},
    {keys::saveAs, &fileMenu, {"Save as"}},
    {keys::quit, &fileMenu, {"QUIT"}},
    {keys::find, &toolsMenu, {"Find", "searching forward"}},
    {keys::findNextForward, &toolsMenu, {"Find next", "searching forward"}},
    {keys::findNextBackward, &toolsMenu, {"Find next", "searching backward"}},
    {keys::lineNumber, &toolsMenu, {"Line number"}},
    {keys::replace, &toolsMenu, {"Replace"}},
    {keys::undo, &toolsMenu, {"Undo"}},
    {keys::compile, &executeMenu, {"Compile current file"}},
    {keys::runInForeground, &executeMenu, {"Run in foreground"}},
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
