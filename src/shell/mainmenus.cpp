// The five menus of the menu bar and the three pop-up menus.
#include "shell/mainwindow.h"

#include "compiler/compiling.h"
#include "compiler/running.h"
#include "compiler/terminalcommands.h"
#include "config/configuration.h"
#include "config/configurationdialog.h"
#include "config/fontchooser.h"
#include "documents/clearundoquit.h"
#include "documents/documentactions.h"
#include "documents/filedialog.h"
#include "documents/printing.h"
#include "help/help.h"
#include "texttools/columntool.h"
#include "texttools/find.h"
#include "texttools/gotoline.h"
#include "texttools/grepdiff.h"
#include "texttools/replace.h"
#include "texttools/stringtools.h"
#include "toolkit/menus.h"

#include <QAction>
#include <QMenu>

namespace {

// Each item's procedure is a lambda that forwards to the item's operation, with the chosen item's
// value where the operation takes one.
#define ITEM(call) [](QMenu *, QAction *item) { (void)item; call; }

QMenu *directionMenu(MenuNotifyProc proc)
{
    QMenu *menu = menuCreate(QString());
    menuAddItem(menu, "searching forward", proc, 0);
    menuAddItem(menu, "searching backward", proc, 1);
    return menu;
}

QMenu *specialMenu()
{
    QMenu *menu = menuCreate(QString());
    menuAddItem(menu, "Column add/del", ITEM(startColumnTool()));
    menuAddItem(menu, "Grep", ITEM(startGrep()));
    menuAddItem(menu, "Diff", ITEM(startDiff()));
    return menu;
}

void addExecuteItems(QMenu *menu)
{
    menuAddItem(menu, "Compile current file", ITEM(startCompile()));
    menuAddItem(menu, "Run Xwin application", ITEM(runInBackground()));
    menuAddItem(menu, "Run in foreground", ITEM(runInForeground()));
    menuAddItem(menu, "Break execution", ITEM(breakExecution()));
}

void createFileMenu()
{
    fileMenu = menuCreate("File");
    menuAddItem(fileMenu, "New frame", ITEM(newFrame()));
    menuAddItem(fileMenu, "Clear window", ITEM(clearWindow()));
    menuAddItem(fileMenu, "Open", ITEM(showOpenDialog()));
    menuAddItem(fileMenu, "Save", ITEM(saveDocument()));
    menuAddItem(fileMenu, "Save as", ITEM(showSaveAsDialog()));
    menuAddItem(fileMenu, "Print", ITEM(printDocument()));
    QMenu *formatted = menuCreate(QString());
    menuAddItem(formatted, "Print preformatted", ITEM(printPreformatted()));
    menuAddItem(formatted, "Print all", ITEM(printAll()));
    menuAddItem(formatted, "Print odd pages", ITEM(printOddPages()));
    menuAddItem(formatted, "Print even pages", ITEM(printEvenPages()));
    menuAddSubmenu(fileMenu, "Formatted print", formatted);
    menuAddItem(fileMenu, "QUIT", ITEM(quitProgram()));
}

void createToolsMenu()
{
    toolsMenu = menuCreate("Tools");
    menuAddItem(toolsMenu, "Line number", ITEM(startGoToLine()));
    menuAddItem(toolsMenu, "Undo all", ITEM(undoAll()));
    menuAddItem(toolsMenu, "Undo", ITEM(undoLast()));
    menuAddSubmenu(toolsMenu, "Find", directionMenu(ITEM(startFind(menuItemValue(item)))));
    menuAddSubmenu(toolsMenu, "Find next", directionMenu(ITEM(findNext(menuItemValue(item)))));
    menuAddItem(toolsMenu, "Replace", ITEM(startReplace()));
    menuAddSubmenu(toolsMenu, "Special", specialMenu());
    menuAddItem(toolsMenu, "Cut string", ITEM(cutString()));
    menuAddItem(toolsMenu, "Copy string", ITEM(copyString()));
    menuAddItem(toolsMenu, "Insert string", ITEM(insertString()));
}

void createOptionsMenu()
{
    optionsMenu = menuCreate("Options");
    QMenu *hideShow = menuCreate(QString());
    menuAddItem(hideShow, "Left button panel", ITEM(toggleButtonPanel()));
    menuAddItem(hideShow, "Bottom terminal", ITEM(toggleTerminal()));
    menuAddSubmenu(optionsMenu, "Hide/show", hideShow);
    // The labels are the descriptions as read from the configuration file.
    QMenu *choose = menuCreate(QString());
    for (int slot = 0; slot < 24; ++slot)
        menuAddItem(choose, configurationLabel(slot), ITEM(chooseConfiguration(menuItemValue(item))), slot);
    menuAddSubmenu(optionsMenu, "Choose configuration", choose);
    configurationMenu = choose;
    menuAddItem(optionsMenu, "Edit configuration", ITEM(editConfiguration()));
    menuAddItem(optionsMenu, "Edit print options", ITEM(editPrintConfiguration()));
    menuAddItem(optionsMenu, "Choose font", ITEM(chooseFont()));
}

void createExecuteAndHelpMenus()
{
    executeMenu = menuCreate("Execute");
    addExecuteItems(executeMenu);
    helpMenu = menuCreate("Help");
    menuAddItem(helpMenu, "Copyright", ITEM(showProductNotice()));
    menuAddItem(helpMenu, "About", ITEM(showHelpText(aboutHelp)));
    menuAddItem(helpMenu, "Quick introduction", ITEM(showHelpText(introductionHelp)));
    menuAddItem(helpMenu, "Summary", ITEM(showHelpText(summaryHelp)));
    menuAddItem(helpMenu, "WWW home page", ITEM(openHomePage()));
}

void createPopupMenus()
{
    textToolsMenu = menuCreate("Text tools", true);
    menuAddItem(textToolsMenu, "Undo", ITEM(undoLast()));
    menuAddSubmenu(textToolsMenu, "Find", directionMenu(ITEM(startFind(menuItemValue(item)))));
    menuAddItem(textToolsMenu, "Replace", ITEM(startReplace()));
    menuAddSubmenu(textToolsMenu, "Special", specialMenu());
    menuAddItem(textToolsMenu, "Cut string", ITEM(cutString()));
    menuAddItem(textToolsMenu, "Copy string", ITEM(copyString()));
    menuAddItem(textToolsMenu, "Insert string", ITEM(insertString()));

    compilerToolsMenu = menuCreate("Compiler tools", true);
    addExecuteItems(compilerToolsMenu);

    terminalToolsMenu = menuCreate("Terminal tools", true);
    menuAddItem(terminalToolsMenu, "Grep", ITEM(startGrep()));
    menuAddItem(terminalToolsMenu, "Copy string", ITEM(copyString()));
    menuAddItem(terminalToolsMenu, "Insert string", ITEM(insertStringTerminal()));
}

#undef ITEM

} // namespace

void createMenus()
{
    createFileMenu();
    createToolsMenu();
    createOptionsMenu();
    createExecuteAndHelpMenus();
    createPopupMenus();
    for (QMenu *menu : {fileMenu, toolsMenu, optionsMenu, executeMenu, helpMenu, textToolsMenu, compilerToolsMenu,
                        terminalToolsMenu})
        menuSetDoneProc(menu, restoreCaretAfterMenu);
}

void newFrame()
{
    typeShellCommand({"tsl &\n"});
}
