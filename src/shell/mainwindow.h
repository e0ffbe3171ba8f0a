#pragma once
// The main frame: the menu bar panel, and the work area with the button panel, the text pane, the
// logo canvas and the terminal pane. The handles are shared with the other subsystems.
#include <QWidget>

class ImageButton;
class QMenu;
class TerminalPane;
class TextPane;
class XCanvas;
class XDrawing;

// The canvas under the menu bar; re-lays its children out whenever it is resized or first shown.
class WorkArea : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

extern QWidget *mainFrame;
extern QWidget *menuBar;
extern WorkArea *workArea;
extern QWidget *buttonPanel;        // null while hidden
extern ImageButton *saveButton;     // the four buttons other subsystems switch; null while no panel
extern ImageButton *compileButton;
extern ImageButton *runButton;
extern ImageButton *runForegroundButton;
extern TextPane *textPane;
extern XCanvas *logoCanvas;         // null while the terminal is hidden
extern TerminalPane *terminalPane;

extern QMenu *fileMenu, *toolsMenu, *optionsMenu, *executeMenu, *helpMenu;
extern QMenu *textToolsMenu, *compilerToolsMenu, *terminalToolsMenu;

extern bool buttonPanelShown;
extern bool terminalShown;

constexpr int menuBarHeight = 25;

void createMenus();
void createMenuBar();
void createWorkArea();
void buildButtonPanel();
void layoutWorkArea();

// Adds a prompt field (or any item) to the menu bar after its five menu buttons.
void addToMenuBar(QWidget *item);

// Gives the "Choose configuration" item of `slot` the description the slot holds now.
void refreshConfigurationItem(int slot);

// "New frame": types "tsl &\n" into the terminal.
void newFrame();
void toggleButtonPanel();
void toggleTerminal();
// Menus' done procedure: gives the pane that the menu belongs to its caret back.
void restoreCaretAfterMenu(QMenu *menu);

// Sets the Save, Compile and Run buttons from the document's edited flag and the compile lock.
void applyButtonStates();

// Binds the keyboard shortcuts to the items of the main window's menus (after createMenus and
// with the main frame built).
void installShortcuts();
// What every pane that edits a file shows: line numbers and the highlighting of its language.
void equipEditorPane(TextPane *pane);
