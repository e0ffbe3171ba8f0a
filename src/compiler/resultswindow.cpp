#include "compiler/resultswindow.h"

#include "compiler/compiling.h"
#include "compiler/errornavigation.h"
#include "compiler/messagekeys.h"
#include "compiler/running.h"
#include "config/configuration.h"
#include "frame/artwork.h"
#include "frame/framesize.h"
#include "frame/mainframe.h"
#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"
#include "toolkit/outputpane.h"
#include "toolkit/xfonts.h"

#include <QCloseEvent>
#include <QLabel>

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

constexpr int textPanelInitialWidth = 800;
constexpr int buttonColumnWidth = 68;
constexpr int buttonWidth = 24;
constexpr int buttonHeight = 22;
constexpr int buttonGap = 6;

} // namespace

ResultsWindow::ResultsWindow() : QWidget(nullptr, Qt::Window)
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
    };
    const Entry entries[] = {
        {&previousErrorImage, onPrevious, &previousButton}, {&firstErrorImage, onFirst, &firstButton},
        {&nextErrorImage, onNext, &nextButton},             {&lastErrorImage, onLast, &lastButton},
        {&runImage, onRun, &runButton},                     {&runInForegroundImage, onRunForeground, &runForegroundButton},
        {&compileImage, onCompile, &compileButton},         {&closeResultsImage, onClose, &closeButton},
    };
    const int left = (buttonColumnWidth - 2 * buttonWidth - buttonGap) / 2;
    int index = 0;
    for (const Entry &entry : entries) {
        auto *button = new ImageButton(*entry.image, entry.proc, 0, resultsButtons);
        button->setGeometry(left + (index % 2) * (buttonWidth + buttonGap),
                            4 + (index / 2) * (buttonHeight + buttonGap), buttonWidth, buttonHeight);
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
    addBreakKey(this);
}

void ResultsWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    closeResults();
}

void createResultsWindow()
{
    resultsWindow = new ResultsWindow;
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
