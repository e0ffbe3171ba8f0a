#include "shell/startup.h"

#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/messagekeys.h"
#include "compiler/messagemarks.h"
#include "compiler/terminalmessages.h"
#include "config/configuration.h"
#include "documents/clearundoquit.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/memorylimit.h"
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
#include "toolkit/storenotices.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"
#include "toolkit/xdrawing.h"
#include "toolkit/xfonts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
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
    watchMemoryLimit(textPane, LimitedPane::main);
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

// The command line names a file that does not exist yet: the pane starts empty but edits that
// file, so that the title names it and Save creates it. False, with nothing changed, when there
// is a file of that name that cannot be read, or no directory to make it in.
bool startNewFile()
{
    const std::string &name = document.fileName;
    struct stat status;
    if (name.empty() || lstat(name.c_str(), &status) == 0 || errno != ENOENT)
        return false;
    const std::string::size_type slash = name.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
    if (stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    textsw_set_new_file(textPane, name);
    document.loadStatus = 0;
    return adoptLoadedFile();
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
    watchTerminalMessages(terminalPane);
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
        if (!startNewFile())
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

// Without an X display that answers, Qt would end the program with an abort: say what is wrong
// and let the caller end it with status 1.
bool reachDisplay(const CommandLine &commandLine)
{
    const char *platform = getenv("QT_QPA_PLATFORM");
    const std::string chosen = !commandLine.platform.empty() ? commandLine.platform : platform ? platform : "";
    if (!chosen.empty() && chosen.compare(0, 3, "xcb") != 0)
        return true; // another platform plug-in was asked for: it reports its own troubles
    const char *environment = getenv("DISPLAY");
    const std::string name = commandLine.hasDisplay ? commandLine.display : environment ? environment : "";
    if (x_display_answers(name.c_str()))
        return true;
    if (commandLine.hasDisplay)
        fprintf(stderr, "tsl: cannot open display \"%s\" (given by -display)\n", name.c_str());
    else if (environment)
        fprintf(stderr, "tsl: cannot open display: DISPLAY is \"%s\"\n", name.c_str());
    else
        fputs("tsl: cannot open display: DISPLAY is not set\n", stderr);
    return false;
}

} // namespace

int tslMain(int argc, char **argv)
{
    const CommandLine commandLine = parseCommandLine(argc, argv);
    switch (commandLine.request) {
    case CommandLineRequest::Help:
        fputs(usageText(), stdout);
        return fflush(stdout) == 0 ? 0 : 1;
    case CommandLineRequest::Version:
        fputs(versionText(), stdout);
        return fflush(stdout) == 0 ? 0 : 1;
    case CommandLineRequest::Refused:
        fprintf(stderr, "%s\n%s", commandLine.refusal.c_str(), usageText());
        return 2;
    case CommandLineRequest::Run:
        break;
    }
    readConfigurationFile();
    reportFatalSignals();
    if (!reachDisplay(commandLine))
        return 1;
    const std::string note = extraFilesNote(commandLine.files);
    if (!note.empty())
        fprintf(stderr, "%s\n", note.c_str());
    standardMessageHandler = qInstallMessageHandler(filterToolkitMessages);
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    // Qt has taken its own options out of argv; the first file name is the file to edit.
    if (!buildMainWindow(commandLine.files.empty() ? nullptr : commandLine.files.front().c_str()))
        return 1;
    // Once the frame is shown: stores that a tsl which died left unfinished.
    QTimer::singleShot(0, [] { tellInterruptedStores(mainFrame); });
    application.exec();
    return 0;
}
