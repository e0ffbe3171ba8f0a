#include "shell/mainwindow.h"

#include "compiler/compilestate.h"
#include "compiler/compiling.h"
#include "compiler/running.h"
#include "config/configuration.h"
#include "documents/clearundoquit.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialog.h"
#include "frame/artwork.h"
#include "shell/layout.h"
#include "shell/logo.h"
#include "texttools/find.h"
#include "texttools/gotoline.h"
#include "texttools/stringtools.h"
#include "toolkit/focus.h"
#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"
#include "toolkit/xdrawing.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>

WorkArea *workArea;
XCanvas *logoCanvas;
bool buttonPanelShown = true;
bool terminalShown = true;

namespace {

struct PanelButton {
    const XbmImage *image;
    ButtonNotifyProc proc;
    int value;
    ImageButton **handle;
};

void onOpenButton(ImageButton *) { showOpenDialog(); }
void onSaveButton(ImageButton *) { saveDocument(); }
void onQuitButton(ImageButton *) { quitProgram(); }
void onLineButton(ImageButton *) { startGoToLine(); }
void onFindButton(ImageButton *b) { startFind(b->clientValue()); }
void onFindNextButton(ImageButton *b) { findNext(b->clientValue()); }
void onCutButton(ImageButton *) { cutString(); }
void onCopyButton(ImageButton *) { copyString(); }
void onInsertButton(ImageButton *) { insertString(); }
void onCompileButton(ImageButton *) { startCompile(); }
void onRunButton(ImageButton *) { runInBackground(); }
void onRunForegroundButton(ImageButton *) { runInForeground(); }

const PanelButton panelButtons[] = {
    {&openFileImage, onOpenButton, 0, nullptr},
    {&saveFileImage, onSaveButton, 0, &saveButton},
    {&quitImage, onQuitButton, 0, nullptr},
    {&goToLineImage, onLineButton, 0, nullptr},
    {&findForwardImage, onFindButton, 0, nullptr},
    {&findBackwardImage, onFindButton, 1, nullptr},
    {&findNextForwardImage, onFindNextButton, 0, nullptr},
    {&findNextBackwardImage, onFindNextButton, 1, nullptr},
    {&cutStringImage, onCutButton, 0, nullptr},
    {&copyStringImage, onCopyButton, 0, nullptr},
    {&insertStringImage, onInsertButton, 0, nullptr},
    {&compileImage, onCompileButton, 0, &compileButton},
    {&runImage, onRunButton, 0, &runButton},
    {&runInForegroundImage, onRunForegroundButton, 0, &runForegroundButton},
};

constexpr int buttonWidth = 24;
constexpr int buttonHeight = 22;
constexpr int panelTopMargin = 4;

void placeWidget(QWidget *widget, const Rect &r)
{
    widget->setGeometry(r.x, r.y, r.width, r.height);
}

void destroyButtonPanel()
{
    delete buttonPanel;
    buttonPanel = nullptr;
    saveButton = compileButton = runButton = runForegroundButton = nullptr;
}

bool lockedBySaveRule()
{
    return compileLock && configurationTable[currentConfiguration].disableSaveWhileCompiling();
}

} // namespace

void WorkArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWorkArea();
}

void WorkArea::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    layoutWorkArea();
}

void createMenuBar()
{
    menuBar = new QWidget(mainFrame);
    menuBar->setObjectName("MenuBar");
    menuBar->setGeometry(0, 0, mainFrame->width(), menuBarHeight);
    auto *menuBarRow = new QHBoxLayout(menuBar);
    menuBarRow->setContentsMargins(4, 1, 4, 1);
    menuBarRow->setSpacing(6);
    for (QMenu *menu : {fileMenu, toolsMenu, optionsMenu, executeMenu, helpMenu}) {
        auto *button = new QPushButton(menu->title(), menuBar);
        button->setMenu(menu);
        button->setFlat(false);
        menuBarRow->addWidget(button);
    }
    menuBarRow->addStretch(1);
    // The menu buttons leave the keyboard focus in the pane the user works in.
    panel_keep_focus_off(menuBar);
}

void createWorkArea()
{
    workArea = new WorkArea(mainFrame);
    workArea->setObjectName("WorkArea");
}

void applyButtonStates()
{
    const bool locked = lockedBySaveRule();
    if (saveButton)
        saveButton->setInactive(locked || !document.edited);
    if (compileButton)
        compileButton->setBusy(locked);
    if (runButton)
        runButton->setInactive(locked);
    if (runForegroundButton)
        runForegroundButton->setInactive(locked);
}

void buildButtonPanel()
{
    const ButtonPanelGeometry geometry = buttonPanelGeometry(workArea->width(), workArea->height(), terminalShown);
    buttonPanel = new QWidget(workArea);
    buttonPanel->setObjectName("ButtonPanel");
    const int left = (geometry.frame.width - geometry.columns * buttonWidth - (geometry.columns - 1) * geometry.columnGap) / 2;
    int index = 0;
    for (const PanelButton &b : panelButtons) {
        auto *button = new ImageButton(*b.image, b.proc, b.value, buttonPanel);
        const int column = index % geometry.columns;
        const int row = index / geometry.columns;
        button->setGeometry(left + column * (buttonWidth + geometry.columnGap),
                            panelTopMargin + row * (buttonHeight + geometry.rowGap), buttonWidth, buttonHeight);
        if (b.handle)
            *b.handle = button;
        ++index;
    }
    placeWidget(buttonPanel, geometry.frame);
    applyButtonStates();
    buttonPanel->show();
}

void layoutWorkArea()
{
    if (!workArea || !textPane)
        return;
    const int w = workArea->width();
    const int h = workArea->height();
    const WorkAreaLayout layout = workAreaLayout(w, h, buttonPanelShown, terminalShown);

    destroyButtonPanel();
    if (buttonPanelShown) {
        buildButtonPanel();
        placeWidget(buttonPanel, layout.buttonPanel.frame);
    }
    placeWidget(textPane, layout.textPane);
    if (terminalPane)
        terminalPane->setVisible(terminalShown);

    delete logoCanvas;
    logoCanvas = nullptr;
    if (layout.hasTerminal) {
        logoCanvas = createLogoCanvas(workArea);
        placeWidget(logoCanvas, layout.logo);
        logoCanvas->show();
        if (terminalPane)
            placeWidget(terminalPane, layout.terminal);
    }
}

void toggleButtonPanel()
{
    buttonPanelShown = !buttonPanelShown;
    layoutWorkArea();
}

void toggleTerminal()
{
    terminalShown = !terminalShown;
    layoutWorkArea();
}

void restoreCaretAfterMenu(QMenu *menu)
{
    // "Terminal tools" belongs to the terminal; the menu bar's menus and the other pop-ups to the
    // main text pane.
    QWidget *pane = menu == terminalToolsMenu ? static_cast<QWidget *>(terminalPane) : textPane;
    if (pane)
        pane->update();
}
