// Building a project window: its frame, the bar with seven image buttons, the "Text tools"
// pop-up menu and the text pane.
#include "compiler/messagekeys.h"
#include "compiler/messagemarks.h"
#include "config/configuration.h"
#include "documents/memorylimit.h"
#include "documents/outsidechanges.h"
#include "documents/projectwindows.h"
#include "documents/recoveryjournal.h"
#include "documents/recoveryoffer.h"
#include "frame/artwork.h"
#include "frame/framesize.h"
#include "frame/keys.h"
#include "frame/mainframe.h"
#include "texttools/find.h"
#include "texttools/gotoline.h"
#include "texttools/stringtools.h"
#include "toolkit/focus.h"
#include "toolkit/frame.h"
#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"
#include "toolkit/shortcuts.h"
#include "toolkit/textpane.h"
#include "toolkit/xfonts.h"

#include <QCloseEvent>
#include <QMenu>

#include <unistd.h>

namespace {

constexpr int barHeight = 34;
constexpr int buttonWidth = 24;
constexpr int buttonHeight = 22;
constexpr int buttonGap = 4;
constexpr int buttonTop = (barHeight - buttonHeight) / 2;

// The frame: the bar across the top, the pane below it. Closing it through the window manager
// is the same as its close button.
class ProjectFrame : public QWidget {
public:
    explicit ProjectFrame(int slot) : slot_(slot) { setObjectName("ProjectWindow"); }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        // closeProjectWindow takes the frame down itself when the window closes.
        event->ignore();
        const ProjectWindow *window = projectWindow(slot_);
        if (window && window->frame == this)
            closeProjectWindow(slot_);
    }
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        const ProjectWindow *window = projectWindow(slot_);
        if (!window || window->frame != this)
            return;
        window->buttonBar->setGeometry(0, 0, width(), barHeight);
        window->pane->setGeometry(0, barHeight, width(), height() - barHeight);
    }

private:
    int slot_;
};

void onSave(ImageButton *button) { saveProjectWindow(button->clientValue()); }
void onLineNumber(ImageButton *button) { startProjectGoToLine(button->clientValue()); }
void onFind(ImageButton *button) { startProjectFind(button->clientValue()); }
void onCut(ImageButton *) { cutString(); }
void onCopy(ImageButton *) { copyString(); }
void onInsert(ImageButton *button) { insertProjectString(button->clientValue()); }
void onClose(ImageButton *button) { closeProjectWindow(button->clientValue()); }

void buildButtonBar(ProjectWindow &window, int slot)
{
    struct BarButton {
        const XbmImage *image;
        ButtonNotifyProc proc;
        const char *action; // the tooltip: the window's menu item and its key
        const char *keys;
    };
    const BarButton buttons[] = {{&saveFileImage, onSave, "Save", keys::save},
                                 {&goToLineImage, onLineNumber, "Line number", keys::lineNumber},
                                 {&findForwardImage, onFind, "Find", keys::find},
                                 {&cutStringImage, onCut, "Cut", nullptr},
                                 {&copyStringImage, onCopy, "Copy", nullptr},
                                 {&insertStringImage, onInsert, "Insert", nullptr},
                                 {&closeProjectImage, onClose, "Close this window", nullptr}};
    window.buttonBar = new QWidget(window.frame);
    window.buttonBar->setObjectName("ProjectButtonBar");
    int x = buttonGap;
    for (const BarButton &b : buttons) {
        // Every button but Cut carries the slot; Cut is the main window's action.
        auto *button = new ImageButton(*b.image, b.proc, b.proc == onCut ? 0 : slot, window.buttonBar);
        button->setGeometry(x, buttonTop, buttonWidth, buttonHeight);
        button->setToolTip(buttonTip(b.action, b.keys));
        x += buttonWidth + buttonGap;
        if (b.proc == onSave)
            window.saveButton = button;
    }
    window.saveButton->setInactive(true);
    window.buttonBar->setGeometry(0, 0, window.frame->width(), barHeight);
    panel_keep_focus_off(window.buttonBar);
}

// The menu's done procedure: gives the window's pane its caret back.
void restoreProjectCaretAfterMenu(QMenu *menu)
{
    if (const ProjectWindow *window = projectWindow(menuValue(menu)))
        window->pane->update();
}

#define ITEM(call) [](QMenu *, QAction *item) { call(menuItemValue(item)); }

QMenu *buildMenu(QWidget *frame, int slot)
{
    QMenu *menu = menuCreate("Text tools", true, frame);
    menuSetValue(menu, slot);
    menuAddItem(menu, "Save", ITEM(saveProjectWindow), slot);
    menuAddItem(menu, "Line number", ITEM(startProjectGoToLine), slot);
    menuAddItem(menu, "Find", ITEM(startProjectFind), slot);
    menuAddItem(menu, "Cut", [](QMenu *, QAction *) { cutString(); }, slot);
    menuAddItem(menu, "Copy", [](QMenu *, QAction *) { copyString(); }, slot);
    menuAddItem(menu, "Insert", ITEM(insertProjectString), slot);
    menuSetDoneProc(menu, restoreProjectCaretAfterMenu);
    return menu;
}

#undef ITEM

// The window's keys act on its own pane and nowhere else: those of its menu's items show beside
// them, Find next and Undo act on the pane as the main window's keys act on the main pane, and
// Ctrl+F7 and Ctrl+F5 compile and run the main window's file.
void addProjectKeys(const ProjectWindow &window, int slot)
{
    const struct {
        const char *keys;
        const char *item;
    } itemKeys[] = {{keys::save, "Save"}, {keys::lineNumber, "Line number"}, {keys::find, "Find"}};
    for (const auto &bound : itemKeys)
        shortcut_bind_item(window.frame, menuFindItem(window.menu, {QString::fromLatin1(bound.item)}),
                           QKeySequence(QLatin1String(bound.keys)));
    shortcut_bind(window.frame, QKeySequence(QLatin1String(keys::findNextForward)),
                  [slot] { findProjectNext(slot, TEXTSW_FORWARD); });
    shortcut_bind(window.frame, QKeySequence(QLatin1String(keys::findNextBackward)),
                  [slot] { findProjectNext(slot, TEXTSW_BACKWARD); });
    shortcut_bind(window.frame, QKeySequence(QLatin1String(keys::undo)), [slot] { undoProjectWindow(slot); });
    addCompileKeys(window.frame);
}

// The pane: memory limit, automatic indentation, the slot as client data, the project font, and
// what every editor pane has (line numbers, highlighting, the marks margin).
TextPane *createProjectPane(QWidget *frame, int slot)
{
    auto *pane = new TextPane(frame);
    pane->setObjectName("ProjectPane");
    textsw_set_memory_limit(pane, generalSettings.projectTextMemoryLimit);
    watchMemoryLimit(pane, LimitedPane::project);
    textsw_set_auto_indent(pane, true);
    textsw_set_client_data(pane, slot);
    if (projectFont)
        textsw_set_font(pane, projectFont->font);
    equipEditorPane(pane);
    prepareMessageMarks(pane);
    return pane;
}

// The file that `name` names from the program's working directory now, as a path that stays
// right when the main window's next file moves the program elsewhere.
std::string pathFromHere(const std::string &name)
{
    if (name.empty() || name[0] == '/')
        return name;
    char directory[4096];
    return getcwd(directory, sizeof directory) ? std::string(directory) + "/" + name : name;
}

} // namespace

bool createProjectWindow(int slot, const std::string &name)
{
    if (slot < 0 || slot >= projectWindowSlots || projectWindowTable[slot])
        return false;
    auto *window = new ProjectWindow;
    window->fileName = name;
    window->frame = new ProjectFrame(slot);
    frame_set_label(window->frame, QString::fromLocal8Bit(name.data(), static_cast<int>(name.size())));
    if (mainFrame)
        window->frame->setWindowIcon(mainFrame->windowIcon());
    // A damaged or huge setting gives neither a window of no size nor one beyond the screen.
    const FrameSize size = usableFrameSize(generalSettings.projectFrameWidth, generalSettings.projectFrameHeight,
                                           {defaultProjectFrameWidth, defaultProjectFrameHeight}, largestFrameSize());
    window->frame->resize(size.width, size.height);
    // The window system makes the window and its buffers (waiting for the X server) now, so that
    // the server clears its copy of them while the pane is built and the file loaded.
    frame_prepare_buffer(window->frame);
    buildButtonBar(*window, slot);
    addMessageKeys(window->frame);
    window->menu = buildMenu(window->frame, slot);
    addProjectKeys(*window, slot);
    window->pane = createProjectPane(window->frame, slot);
    startRecoveryJournal(window->pane);
    const std::string path = pathFromHere(name);
    const RecoveryChoice recovery = offerRecovery(path, name, mainFrame);
    if (textsw_load_file(window->pane, path, false, 0) != 0) {
        delete window->frame;
        delete window;
        return false;
    }
    textsw_set_notify_proc(window->pane, noteProjectPaneChange);
    textsw_set_menu(window->pane, window->menu);
    projectWindowTable[slot] = window;
    window->pane->setGeometry(0, barHeight, window->frame->width(), window->frame->height() - barHeight);
    watchForOutsideChanges(window->frame);
    window->frame->show();
    recoverChanges(window->pane, recovery);
    return true;
}
