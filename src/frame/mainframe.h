#pragma once
// The parts of the main frame that the subsystems share: the handles of its panes, of the panel
// buttons they switch and of the menus they read, the project panes' font and the results icon.
// The shell builds the frame and sets these handles; the subsystems read them and switch what
// they own (a button's state, a pane's text). Nothing here wires a menu or runs an operation.
#include <QIcon>
#include <QPointer>

class ImageButton;
class QMenu;
class QWidget;
class TerminalPane;
class TextPane;
struct XFontFace;

extern QWidget *mainFrame;
extern QWidget *menuBar;
extern QWidget *buttonPanel;        // null while hidden
extern ImageButton *saveButton;     // the four buttons other subsystems switch; null while no panel
extern ImageButton *compileButton;
extern ImageButton *runButton;
extern ImageButton *runForegroundButton;
extern TextPane *textPane;
extern TerminalPane *terminalPane;

extern QMenu *fileMenu, *toolsMenu, *optionsMenu, *executeMenu, *helpMenu;
extern QMenu *textToolsMenu, *compilerToolsMenu, *terminalToolsMenu;
extern QPointer<QMenu> configurationMenu; // the "Choose configuration" submenu

extern const XFontFace *projectFont; // the font of project text panes; null when not found
extern QIcon resultsIcon;            // the results window's icon

// Adds a prompt field (or any item) to the menu bar after its menu buttons.
void addToMenuBar(QWidget *item);

// What every pane that edits a file shows: line numbers and the highlighting of its language.
void equipEditorPane(TextPane *pane);
