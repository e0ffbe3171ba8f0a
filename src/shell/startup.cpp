#include "shell/startup.h"

#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/messagekeys.h"
#include "compiler/messagemarks.h"
#include "config/configuration.h"
#include "documents/clearundoquit.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/outsidechanges.h"
#include "documents/projectwindows.h"
#include "documents/recoveryjournal.h"
#include "documents/recoveryoffer.h"
#include "frame/artwork.h"
#include "frame/framesize.h"
#include "shell/commandline.h"
#include "shell/fatalsignals.h"
#include "shell/logo.h"
#include "shell/mainwindow.h"
#include "texttools/texttoolstate.h"
#include "toolkit/menus.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"
#include "toolkit/xdrawing.h"
#include "toolkit/xfonts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The main frame: the menu bar above the work area, which is 25 pixels less high than the frame.
// Closing it through the window manager asks as QUIT does.
class MainFrame : public QWidget {
public:
    MainFrame() { setObjectName("MainWindow"); }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        if (menuBar)
            menuBar->setGeometry(0, 0, width(), menuBarHeight);
        if (workArea)
            workArea->setGeometry(0, menuBarHeight, width(), height() - menuBarHeight);
    }
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        quitProgram();
    }
    // The start-up benchmark runs the program with TSL_QUIT_WHEN_SHOWN set: it ends as soon as
    // the frame is first painted.
    void paintEvent(QPaintEvent *event) override
    {
        QWidget::paintEvent(event);
        static const bool quitWhenShown = getenv("TSL_QUIT_WHEN_SHOWN") != nullptr;
        if (quitWhenShown) {
            QApplication::sync();
            _exit(0);
        }
    }
};

std::string currentDirectory()
{
    char buffer[1024];
    if (!getcwd(buffer, sizeof buffer))
        return std::string();
    return buffer;
}

void initialiseSharedState()
{
    fileDirectory = currentDirectory();
    workingDirectory = currentDirectory();
    document = Document();
    errorList = ErrorList();
    for (ProjectWindow *&slot : projectWindowTable)
        slot = nullptr;
    projectWindowCount = 0;
    compilerOutput.reset();
    initialiseTextToolState();
}

void createTextPane()
{
    textPane = new TextPane(workArea);
    textPane->setObjectName("TextPane");
    textsw_set_memory_limit(textPane, generalSettings.mainTextMemoryLimit);
    textsw_set_auto_indent(textPane, true);
    textsw_set_notify_proc(textPane, noteTextPaneChange);
    textsw_set_menu(textPane, textToolsMenu);
    prepareMessageMarks(textPane);
    equipEditorPane(textPane);
    startRecoveryJournal(textPane);
}

void chooseFonts()
{
    if (const XFontFace *main = xv_find_font(generalSettings.mainFontName))
        textsw_set_font(textPane, main->font);
    else
        fputs("Configuration's font not found, using standard\n", stdout);
    fflush(stdout);
    projectFont = xv_find_font(generalSettings.projectFontName);
}

} // namespace

bool buildMainWindow(const char *fileArgument)
{
    initialiseSharedState();
    const QIcon mainIcon(pixmapFromXbm(mainIconImage));
    resultsIcon = QIcon(pixmapFromXbm(resultsIconImage));
    currentConfiguration = 0;

    mainFrame = new MainFrame;
    mainFrame->setWindowTitle(productTitle);
    mainFrame->setWindowIcon(mainIcon);
    const FrameSize size = usableFrameSize(generalSettings.mainFrameWidth, generalSettings.mainFrameHeight,
                                           {defaultMainFrameWidth, defaultMainFrameHeight}, largestFrameSize());
    mainFrame->resize(size.width, size.height);

    createMenus();
    createMenuBar();
    addMessageKeys(mainFrame);
    createWorkArea();
    workArea->setGeometry(0, menuBarHeight, mainFrame->width(), mainFrame->height() - menuBarHeight);
    buttonPanelShown = true;
    terminalShown = true;
    buildButtonPanel();
    document.edited = true;

    createTextPane();
    chooseFonts();

    if (!loadFixedFont()) {
        fputs("cannot find fixed font\n", stdout);
        fflush(stdout);
        return false;
    }
    logoGraphicsContext = new XDrawing(xDisplay(), mainFrame->winId());
    colourPixels = allocateColourPixels(workArea, colourTable());

    terminalPane = new TerminalPane(workArea);
    terminalPane->setObjectName("TerminalPane");
    terminalPane->setPopupMenu(terminalToolsMenu);
    layoutWorkArea();

    installShortcuts();
    watchForOutsideChanges(mainFrame);
    // Cleared before the file is loaded: recovered changes make it edited again.
    document.edited = false;
    if (fileArgument)
        openCommandLineFile(fileArgument);
    mainFrame->show();
    textPane->setFocus(Qt::OtherFocusReason);
    return true;
}

void openCommandLineFile(const char *argument)
{
    const std::string a = argument;
    const std::string prefix = workingDirectory + "/";
    document.fileName = a.compare(0, prefix.size(), prefix) == 0 ? a.substr(prefix.size()) : a;

    if (!canOpenFile(document.fileName, "r")) {
        document.fileName.clear();
        return;
    }
    const bool writable = canOpenFile(document.fileName, "r+");
    const RecoveryChoice recovery = offerRecovery(document.fileName, document.fileName, mainFrame);
    document.loadStatus = textsw_load_file(textPane, document.fileName, !writable, 0);
    if (!adoptLoadedFile()) {
        document.fileName.clear();
        return;
    }
    if (!writable)
        setMainTitle(readOnlyTitle(mainTitle()));
    recoverChanges(textPane, recovery);
}

void destroyMainWindow()
{
    delete mainFrame;
    mainFrame = nullptr;
    menuBar = nullptr;
    workArea = nullptr;
    buttonPanel = nullptr;
    saveButton = compileButton = runButton = runForegroundButton = nullptr;
    textPane = nullptr;
    logoCanvas = nullptr;
    terminalPane = nullptr;
    for (QMenu *menu : {fileMenu, toolsMenu, optionsMenu, executeMenu, helpMenu, textToolsMenu, compilerToolsMenu,
                        terminalToolsMenu})
        delete menu;
    fileMenu = toolsMenu = optionsMenu = executeMenu = helpMenu = nullptr;
    textToolsMenu = compilerToolsMenu = terminalToolsMenu = nullptr;
    delete logoGraphicsContext;
    logoGraphicsContext = nullptr;
}

namespace {

QtMessageHandler standardMessageHandler;

// The terminal widget complains on stderr about the font it starts with, before the pane gives it
// a fixed-pitch one; that line would only confuse the user.
void filterToolkitMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("Using a variable-width font in the terminal")))
        return;
    if (standardMessageHandler)
        standardMessageHandler(type, context, message);
}

} // namespace

int tslMain(int argc, char **argv)
{
    switch (commandLineRequest(argc, argv)) {
    case CommandLineRequest::Help:
        fputs(usageText(), stdout);
        return fflush(stdout) == 0 ? 0 : 1;
    case CommandLineRequest::Version:
        fputs(versionText(), stdout);
        return fflush(stdout) == 0 ? 0 : 1;
    case CommandLineRequest::Run:
        break;
    }
    readConfigurationFile();
    reportFatalSignals();
    standardMessageHandler = qInstallMessageHandler(filterToolkitMessages);
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    // Qt has taken out of argv the options it knows; the first argument left is the file to edit.
    if (!buildMainWindow(argc > 1 ? argv[1] : nullptr))
        return 1;
    application.exec();
    return 0;
}
