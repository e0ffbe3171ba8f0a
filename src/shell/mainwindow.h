#pragma once
// The main frame: the menu bar panel, and the work area with the button panel, the text pane, the
// logo canvas and the terminal pane. The handles that the subsystems share are in
// frame/mainframe.h; this is how the shell builds, lays out and switches the frame.
#include "frame/mainframe.h"

#include <QWidget>

class TextPane;
class XCanvas;

// The canvas under the menu bar; re-lays its children out whenever it is resized or first shown.
class WorkArea : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

extern WorkArea *workArea;
extern XCanvas *logoCanvas;         // null while the terminal is hidden

extern bool buttonPanelShown;
extern bool terminalShown;

constexpr int menuBarHeight = 25;

void createMenus();
void createMenuBar();
void createWorkArea();
void buildButtonPanel();
void layoutWorkArea();

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
