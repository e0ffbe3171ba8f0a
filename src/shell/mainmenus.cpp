// The five menus of the menu bar and the three pop-up menus.
#include "shell/mainwindow.h"

#include "config/configuration.h"
#include "shell/operations.h"
#include "toolkit/menus.h"
#include "toolkit/terminalpane.h"

#include <QAction>
#include <QMenu>

QMenu *fileMenu, *toolsMenu, *optionsMenu, *executeMenu, *helpMenu;
QMenu *textToolsMenu, *compilerToolsMenu, *terminalToolsMenu;

namespace {

// Menu procedures: each forwards to its operation, with the chosen item's value where the
// operation takes one.
#define MENU_PROC(name, call) \
    void name(QMenu *, QAction *item) \
    { \
        (void)item; \
        call; \
    }
MENU_PROC(onNewFrame, newFrame())
MENU_PROC(onClearWindow, clearWindow())
MENU_PROC(onOpen, showOpenDialog())
MENU_PROC(onSave, saveDocument())
MENU_PROC(onSaveAs, showSaveAsDialog())
MENU_PROC(onPrint, printDocument())
MENU_PROC(onPrintPreformatted, printPreformatted())
MENU_PROC(onPrintAll, printAll())
MENU_PROC(onPrintOdd, printOddPages())
MENU_PROC(onPrintEven, printEvenPages())
MENU_PROC(onQuit, quitProgram())
MENU_PROC(onLineNumber, startGoToLine())
MENU_PROC(onUndoAll, undoAll())
MENU_PROC(onUndo, undoLast())
MENU_PROC(onFind, startFind(menuItemValue(item)))
MENU_PROC(onFindNext, findNext(menuItemValue(item)))
MENU_PROC(onReplace, startReplace())
MENU_PROC(onColumn, startColumnTool())
MENU_PROC(onGrep, startGrep())
MENU_PROC(onDiff, startDiff())
MENU_PROC(onCutString, cutString())
MENU_PROC(onCopyString, copyString())
MENU_PROC(onInsertString, insertString())
MENU_PROC(onInsertStringTerminal, insertStringTerminal())
MENU_PROC(onLeftPanel, toggleButtonPanel())
MENU_PROC(onBottomTerminal, toggleTerminal())
MENU_PROC(onChooseConfiguration, chooseConfiguration(menuItemValue(item)))
MENU_PROC(onEditConfiguration, editConfiguration())
MENU_PROC(onEditPrint, editPrintConfiguration())
MENU_PROC(onChooseFont, chooseFont())
MENU_PROC(onCompile, startCompile())
MENU_PROC(onRunBackground, runInBackground())
MENU_PROC(onRunForeground, runInForeground())
MENU_PROC(onBreak, breakExecution())
MENU_PROC(onCopyright, showProductNotice())
MENU_PROC(onAbout, showHelpText(aboutHelp))
MENU_PROC(onIntroduction, showHelpText(introductionHelp))
MENU_PROC(onSummary, showHelpText(summaryHelp))
MENU_PROC(onHomePage, openHomePage())
#undef MENU_PROC

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
    menuAddItem(menu, "Column add/del", onColumn);
    menuAddItem(menu, "Grep", onGrep);
    menuAddItem(menu, "Diff", onDiff);
    return menu;
}

void addExecuteItems(QMenu *menu)
{
    menuAddItem(menu, "Compile current file", onCompile);
    menuAddItem(menu, "Run Xwin application", onRunBackground);
    menuAddItem(menu, "Run in foreground", onRunForeground);
    menuAddItem(menu, "Break execution", onBreak);
}

void createFileMenu()
{
    fileMenu = menuCreate("File");
    menuAddItem(fileMenu, "New frame", onNewFrame);
    menuAddItem(fileMenu, "Clear window", onClearWindow);
    menuAddItem(fileMenu, "Open", onOpen);
    menuAddItem(fileMenu, "Save", onSave);
    menuAddItem(fileMenu, "Save as", onSaveAs);
    menuAddItem(fileMenu, "Print", onPrint);
    QMenu *formatted = menuCreate(QString());
    menuAddItem(formatted, "Print preformatted", onPrintPreformatted);
    menuAddItem(formatted, "Print all", onPrintAll);
    menuAddItem(formatted, "Print odd pages", onPrintOdd);
    menuAddItem(formatted, "Print even pages", onPrintEven);
    menuAddSubmenu(fileMenu, "Formatted print", formatted);
    menuAddItem(fileMenu, "QUIT", onQuit);
}

void createToolsMenu()
{
    toolsMenu = menuCreate("Tools");
    menuAddItem(toolsMenu, "Line number", onLineNumber);
    menuAddItem(toolsMenu, "Undo all", onUndoAll);
    menuAddItem(toolsMenu, "Undo", onUndo);
    menuAddSubmenu(toolsMenu, "Find", directionMenu(onFind));
    menuAddSubmenu(toolsMenu, "Find next", directionMenu(onFindNext));
    menuAddItem(toolsMenu, "Replace", onReplace);
    menuAddSubmenu(toolsMenu, "Special", specialMenu());
    menuAddItem(toolsMenu, "Cut string", onCutString);
    menuAddItem(toolsMenu, "Copy string", onCopyString);
    menuAddItem(toolsMenu, "Insert string", onInsertString);
}

void createOptionsMenu()
{
    optionsMenu = menuCreate("Options");
    QMenu *hideShow = menuCreate(QString());
    menuAddItem(hideShow, "Left button panel", onLeftPanel);
    menuAddItem(hideShow, "Bottom terminal", onBottomTerminal);
    menuAddSubmenu(optionsMenu, "Hide/show", hideShow);
    // The labels are the descriptions as read from the configuration file.
    QMenu *choose = menuCreate(QString());
    for (int slot = 0; slot < 24; ++slot)
        menuAddItem(choose, QString::fromLocal8Bit(configurationTable[slot].description), onChooseConfiguration, slot);
    menuAddSubmenu(optionsMenu, "Choose configuration", choose);
    menuAddItem(optionsMenu, "Edit configuration", onEditConfiguration);
    menuAddItem(optionsMenu, "Edit print options", onEditPrint);
    menuAddItem(optionsMenu, "Choose font", onChooseFont);
}

void createExecuteAndHelpMenus()
{
    executeMenu = menuCreate("Execute");
    addExecuteItems(executeMenu);
    helpMenu = menuCreate("Help");
    menuAddItem(helpMenu, "Copyright", onCopyright);
    menuAddItem(helpMenu, "About", onAbout);
    menuAddItem(helpMenu, "Quick introduction", onIntroduction);
    menuAddItem(helpMenu, "Summary", onSummary);
    menuAddItem(helpMenu, "WWW home page", onHomePage);
}

void createPopupMenus()
{
    textToolsMenu = menuCreate("Text tools", true);
    menuAddItem(textToolsMenu, "Undo", onUndo);
    menuAddSubmenu(textToolsMenu, "Find", directionMenu(onFind));
    menuAddItem(textToolsMenu, "Replace", onReplace);
    menuAddSubmenu(textToolsMenu, "Special", specialMenu());
    menuAddItem(textToolsMenu, "Cut string", onCutString);
    menuAddItem(textToolsMenu, "Copy string", onCopyString);
    menuAddItem(textToolsMenu, "Insert string", onInsertString);

    compilerToolsMenu = menuCreate("Compiler tools", true);
    addExecuteItems(compilerToolsMenu);

    terminalToolsMenu = menuCreate("Terminal tools", true);
    menuAddItem(terminalToolsMenu, "Grep", onGrep);
    menuAddItem(terminalToolsMenu, "Copy string", onCopyString);
    menuAddItem(terminalToolsMenu, "Insert string", onInsertStringTerminal);
}

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
    ttysw_input(terminalPane, "tsl &\n", 6);
}
