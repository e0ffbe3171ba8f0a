#include "compiler/resultswindow.h"

#include "compiler/compiling.h"
#include "compiler/errornavigation.h"
#include "compiler/messagekeys.h"
#include "compiler/running.h"
#include "config/configuration.h"
#include "frame/artwork.h"
#include "frame/framesize.h"
#include "frame/keys.h"
#include "frame/placement.h"
#include "frame/mainframe.h"
#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"
#include "toolkit/outputpane.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"
#include "toolkit/xfonts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>

#include <optional>
#include <vector>

ResultsWindow *resultsWindow;

namespace {

void onPrevious(ImageButton *) { previousError(); }
void onFirst(ImageButton *) { firstError(); }
void onNext(ImageButton *) { nextError(); }
void onLast(ImageButton *) { lastError(); }
void onRun(ImageButton *) { runInBackground(); }
void onRunForeground(ImageButton *) { runInForeground(); }
void onCompile(ImageButton *) { startCompile(); }
void onClose(ImageButton *) { closeResults(); }

// Where the window goes when it is created: where it hides neither the line selected in the
// main text pane nor the terminal, where its prompt and a program's output are; the window
// manager places it when the screen has no such place.
void placeResultsWindow(QWidget *window)
{
    if (!mainFrame || !mainFrame->isVisible() || !textPane)
        return;
    const QScreen *screen = mainFrame->screen();
    if (!screen)
        return;
    // The frame the window manager puts around the main frame is taken for this window's too.
    const QRect owner = mainFrame->frameGeometry();
    const QSize frame = owner.size() - mainFrame->size();
    Textsw_index first = 0, end = 0;
    if (!textsw_get_selection(textPane, &first, &end, TEXTSW_SEL_PRIMARY))
        first = textsw_get_insertion_point(textPane);
    std::vector<QRect> keep;
    const QRect line = textsw_line_rect(textPane, first);
    if (!line.isEmpty())
        keep.emplace_back(textPane->mapToGlobal(line.topLeft()), line.size());
    if (terminalPane && terminalPane->isVisible())
        keep.emplace_back(terminalPane->mapToGlobal(QPoint(0, 0)), terminalPane->size());
    if (const std::optional<QPoint> place =
            placeBesideOwner(screen->availableGeometry(), owner, window->size() + frame, keep))
        window->move(*place);
}

constexpr int textPanelInitialWidth = 800;
constexpr int buttonColumnWidth = 68;
constexpr int buttonWidth = 24;
constexpr int buttonHeight = 22;
constexpr int buttonGap = 6;

} // namespace

// A window of its own, but a transient of the main frame (a dialog window: only those get the
// transient-for hint): the window manager keeps it above the main frame, so that neither a step
// to a message, which brings the main frame forward with the line it selects, nor a click into
// the main frame hides the message. Being no tool window, it keeps its own keys to itself.
ResultsWindow::ResultsWindow() : QWidget(mainFrame, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setObjectName("ResultsWindow");
    setWindowTitle("Compiler Results");
    setWindowIcon(resultsIcon);
    setAttribute(Qt::WA_DeleteOnClose, false);

    textPanel = new QWidget(this);
    textPanel->resize(textPanelInitialWidth, 100);

    resultsPane = new OutputPane(textPanel);
    resultsPane->setObjectName("ResultsPane");
    if (const XFontFace *face = xv_find_font(generalSettings.mainFontName))
        textsw_set_font(resultsPane, face->font);
    textsw_set_memory_limit(resultsPane, generalSettings.resultsTextMemoryLimit);
    textsw_set_menu(resultsPane, compilerToolsMenu);
    resultsPane->setDoubleClickProc(showMessageAt);
    // A damaged or huge setting gives neither a window of no size nor one beyond the screen.
    const FrameSize characters = usableCharacterSize(generalSettings.resultsColumns, generalSettings.resultsRows,
                                                     {defaultResultsColumns, defaultResultsRows});
    const FrameSize screen = largestFrameSize();
    const QSize paneSize = textsw_size_for_chars(resultsPane, characters.width, characters.height)
                               .boundedTo(QSize(screen.width - buttonColumnWidth - 16, screen.height - 60));
    resultsPane->setGeometry(4, 4, paneSize.width(), paneSize.height());

    resultsMessage = new QLabel("*** Compiling ***", textPanel);
    resultsMessage->setObjectName("ResultsMessage");
    resultsMessage->move(4, paneSize.height() + 12);
    resultsMessage->resize(paneSize.width(), resultsMessage->sizeHint().height());

    resultsButtons = new QWidget(this);
    resultsButtons->setObjectName("ResultsButtons");
    menuAttachPopup(resultsButtons, compilerToolsMenu);
    struct Entry {
        const XbmImage *image;
        ButtonNotifyProc proc;
        ImageButton **handle;
        const char *action; // the tooltip, and the key that does the same in this window
        const char *keys;
    };
    const Entry entries[] = {
        {&previousErrorImage, onPrevious, &previousButton, "Previous message", keys::previousMessage},
        {&firstErrorImage, onFirst, &firstButton, "First message", nullptr},
        {&nextErrorImage, onNext, &nextButton, "Next message", keys::nextMessage},
        {&lastErrorImage, onLast, &lastButton, "Last message", nullptr},
        {&runImage, onRun, &runButton, "Run Xwin application", nullptr},
        {&runInForegroundImage, onRunForeground, &runForegroundButton, "Run in foreground", keys::runInForeground},
        {&compileImage, onCompile, &compileButton, "Compile current file", keys::compile},
        {&closeResultsImage, onClose, &closeButton, "Close Compiler Results", nullptr},
    };
    const int left = (buttonColumnWidth - 2 * buttonWidth - buttonGap) / 2;
    int index = 0;
    for (const Entry &entry : entries) {
        auto *button = new ImageButton(*entry.image, entry.proc, 0, resultsButtons);
        button->setGeometry(left + (index % 2) * (buttonWidth + buttonGap),
                            4 + (index / 2) * (buttonHeight + buttonGap), buttonWidth, buttonHeight);
        button->setToolTip(buttonTip(entry.action, entry.keys));
        *entry.handle = button;
        ++index;
    }
    for (ImageButton *navigation : {previousButton, firstButton, nextButton, lastButton})
        navigation->setInactive(true);

    // Fit the text panel to its contents, as wide as the pane and its margins; the button column
    // beside it, as high as the text panel.
    const int panelHeight = resultsMessage->y() + resultsMessage->height() + 8;
    textPanel->setGeometry(0, 0, paneSize.width() + 16, panelHeight);
    resultsButtons->setGeometry(paneSize.width() + 16, 0, buttonColumnWidth, panelHeight);
    setFixedSize(resultsButtons->x() + buttonColumnWidth, panelHeight);
    addMessageKeys(this);
    addCompileKeys(this);
    addBreakKey(this);
}

ResultsWindow::~ResultsWindow()
{
    // The main frame takes its transients with it.
    if (resultsWindow == this)
        resultsWindow = nullptr;
}

void ResultsWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    closeResults();
}

void createResultsWindow()
{
    resultsWindow = new ResultsWindow;
    placeResultsWindow(resultsWindow);
    resultsWindow->show();
}

void destroyResultsWindow()
{
    if (!resultsWindow)
        return;
    // A button of the window may be the caller: the window goes once the event is over.
    resultsWindow->hide();
    resultsWindow->deleteLater();
    resultsWindow = nullptr;
}

void setResultsMessage(const std::string &text)
{
    if (resultsWindow)
        resultsWindow->resultsMessage->setText(QString::fromUtf8(text.c_str()));
}

std::string resultsMessageText()
{
    return resultsWindow ? resultsWindow->resultsMessage->text().toStdString() : std::string();
}

void showOutputInResultsPane(std::shared_ptr<OutputText> output)
{
    if (resultsWindow)
        resultsWindow->resultsPane->showText(std::move(output));
}

bool showArrivedOutput()
{
    return resultsWindow && resultsWindow->resultsPane->showMore();
}

void setResultsFooter(const std::string &text)
{
    if (resultsWindow)
        resultsWindow->resultsPane->setFooter(QString::fromStdString(text));
}
