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
#include "frame/keys.h"
#include "shell/divider.h"
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

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

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
    const char *action; // the tooltip: the menu item's words and its key
    const char *keys;
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
    {&openFileImage, onOpenButton, 0, nullptr, "Open", keys::open},
    {&saveFileImage, onSaveButton, 0, &saveButton, "Save", keys::save},
    {&quitImage, onQuitButton, 0, nullptr, "QUIT", keys::quit},
    {&goToLineImage, onLineButton, 0, nullptr, "Line number", keys::lineNumber},
    {&findForwardImage, onFindButton, 0, nullptr, "Find, searching forward", keys::find},
    {&findBackwardImage, onFindButton, 1, nullptr, "Find, searching backward", nullptr},
    {&findNextForwardImage, onFindNextButton, 0, nullptr, "Find next, searching forward", keys::findNextForward},
    {&findNextBackwardImage, onFindNextButton, 1, nullptr, "Find next, searching backward", keys::findNextBackward},
    {&cutStringImage, onCutButton, 0, nullptr, "Cut string", nullptr},
    {&copyStringImage, onCopyButton, 0, nullptr, "Copy string", nullptr},
    {&insertStringImage, onInsertButton, 0, nullptr, "Insert string", nullptr},
    {&compileImage, onCompileButton, 0, &compileButton, "Compile current file", keys::compile},
    {&runImage, onRunButton, 0, &runButton, "Run Xwin application", nullptr},
    {&runInForegroundImage, onRunForegroundButton, 0, &runForegroundButton, "Run in foreground", keys::runInForeground},
};

constexpr int buttonWidth = 24;
constexpr int buttonHeight = 22;
constexpr int panelTopMargin = 4;

void placeWidget(QWidget *widget, const Rect &r)
{
    widget->setGeometry(r.x, r.y, r.width, r.height);
}

// The divider above the terminal, and the height below it that the user chose by dragging it.
QPointer<Divider> divider;
int dividerBelow = -1;

// The least height that the panel's fourteen buttons need in two columns without overlapping.
constexpr int lowestPanelHeight = 180;

// Where the divider is, and how far it may go: each pane keeps at least two lines, and the text
// pane the height that the button panel beside it needs.
DividerPlace dividerPlace()
{
    DividerPlace place;
    place.below = dividerBelow;
    if (textPane) {
        const int twoLines = textsw_size_for_chars(textPane, 1, 2).height();
        place.lowestText = buttonPanelShown ? std::max(twoLines, lowestPanelHeight) : twoLines;
    }
    if (terminalPane)
        place.lowestBelow = dividerHeight + 2 * QFontMetrics(terminalPane->getTerminalFont()).height() + 4;
    return place;
}

WorkAreaLayout currentLayout()
{
    return workAreaLayout(workArea->width(), workArea->height(), buttonPanelShown, terminalShown, dividerPlace());
}

// The user drags the divider: the text pane above it is to be `textHeight` high.
void moveDivider(int textHeight)
{
    if (!workArea || !textPane)
        return;
    dividerBelow = workArea->height() - textHeight;
    layoutWorkArea();
    // Kept as far as the panes' least heights let it go.
    dividerBelow = workArea->height() - textPane->height();
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
    divider = new Divider(workArea, moveDivider);
    dividerBelow = -1;
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
    const ButtonPanelGeometry geometry = currentLayout().buttonPanel;
    buttonPanel = new QWidget(workArea);
    buttonPanel->setObjectName("ButtonPanel");
    const int left = (geometry.frame.width - geometry.columns * buttonWidth - (geometry.columns - 1) * geometry.columnGap) / 2;
    int index = 0;
    for (const PanelButton &b : panelButtons) {
        auto *button = new ImageButton(*b.image, b.proc, b.value, buttonPanel);
        button->setToolTip(buttonTip(b.action, b.keys));
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
    const WorkAreaLayout layout = currentLayout();

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
    if (divider) {
        placeWidget(divider, layout.divider);
        divider->setVisible(layout.hasTerminal);
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
