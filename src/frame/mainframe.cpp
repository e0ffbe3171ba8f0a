#include "frame/mainframe.h"

#include "toolkit/textpane.h"

#include <QBoxLayout>
#include <QMenu>

QWidget *mainFrame;
QWidget *menuBar;
QWidget *buttonPanel;
ImageButton *saveButton;
ImageButton *compileButton;
ImageButton *runButton;
ImageButton *runForegroundButton;
TextPane *textPane;
TerminalPane *terminalPane;

QMenu *fileMenu, *toolsMenu, *optionsMenu, *executeMenu, *helpMenu;
QMenu *textToolsMenu, *compilerToolsMenu, *terminalToolsMenu;
QPointer<QMenu> configurationMenu;

const XFontFace *projectFont;
QIcon resultsIcon;

void addToMenuBar(QWidget *item)
{
    // The menu bar's row ends in a stretch; items go in before it.
    auto *row = static_cast<QBoxLayout *>(menuBar->layout());
    item->setParent(menuBar);
    row->insertWidget(row->count() - 1, item);
    item->show();
}

void equipEditorPane(TextPane *pane)
{
    textsw_set_line_numbers(pane, true);
    textsw_set_highlighting(pane, true);
}
