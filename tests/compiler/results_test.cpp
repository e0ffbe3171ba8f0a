// The results window as an IDE's: double clicks, keys, marks in the editors, columns, colours,
// stopping a compile and telling what the pane does not show.
#include "compilerfixture.h"

#include "compiler/messagekeys.h"
#include "compiler/messagemarks.h"
#include "compiler/running.h"
#include "documents/projectwindows.h"
#include "support/mouse.h"
#include "toolkit/notifier.h"
#include "toolkit/textmarks.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>

namespace {

constexpr int errorMark = 1 << TEXTSW_MARK_ERROR, warningMark = 1 << TEXTSW_MARK_WARNING;

// Whether a process of the group still runs (zombies, which nobody may reap here, do not count);
// with a `name`, a process that runs the program of that name.
bool groupLives(pid_t group, const std::string &name = std::string())
{
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        entry.toInt(&number);
        if (!number)
            continue;
        const std::string stat = readFile("/proc/" + entry.toStdString() + "/stat");
        const std::size_t beforeName = stat.find('('), afterName = stat.rfind(')');
        char state = 0;
        int parent = 0, processGroup = 0;
        if (afterName != std::string::npos && beforeName < afterName &&
            sscanf(stat.c_str() + afterName + 1, " %c %d %d", &state, &parent, &processGroup) == 3 &&
            processGroup == group && state != 'Z' &&
            (name.empty() || stat.compare(beforeName + 1, afterName - beforeName - 1, name) == 0))
            return true;
    }
    return false;
}

// A real project window in `slot` on the file `name` holding `text`; closed (without saving) at
// the end.
struct TestProjectWindow {
    int slot;
    TestProjectWindow(int slot, const std::string &name, const std::string &text) : slot(slot)
    {
        writeFile(name, text);
        EXPECT_TRUE(createProjectWindow(slot, name));
    }
    ~TestProjectWindow()
    {
        NoticeScript answers;
        answers.setResponder([](const NoticeRecord &) { return "Don't save"; });
        closeProjectWindow(slot);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ProjectWindow &window() const { return *projectWindowTable[slot]; }
    QWidget *frame() const { return window().frame; }
};

class ResultsTest : public CompilerWindowTest {
protected:
    // Numbered lines "line 1" ... for a source file.
    static std::string numberedLines(int count)
    {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += "line " + std::to_string(i) + "\n";
        return text;
    }
    // Compiles with a stand-in compiler that prints `messages`.
    static void compilePrinting(const std::string &messages, const char *form = "*#:%")
    {
        writeFile(path("messages.txt"), messages);
        configure("sh prints.sh messages.txt", form);
        compile();
    }
    // Double-clicks the output line `line` of the results pane.
    static void doubleClickOutputLine(long line)
    {
        OutputPane *pane = resultsWindow->resultsPane;
        textsw_possibly_normalize(pane, pane->lineStart(line));
        const int height = pane->fontMetrics().lineSpacing();
        const QPoint at(12, static_cast<int>(line - pane->firstVisibleLine()) * height + height / 2);
        mouse(pane->viewport(), QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    }
    static std::string selectedIn(TextPane *pane)
    {
        const auto [first, end] = selection(pane);
        return textsw_contents(pane, first, end);
    }
    static std::string secondaryInResults()
    {
        Textsw_index first = 0, end = 0;
        textsw_get_selection(resultsWindow->resultsPane, &first, &end, TEXTSW_SEL_SECONDARY);
        return textsw_contents(resultsWindow->resultsPane, first, end);
    }
    // Presses a key in `window`, with the keyboard focus in `focus`.
    static void press(QWidget *window, QWidget *focus, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::setActiveWindow(window);
        focus->setFocus();
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : focus;
        QTest::keyClick(target, key, modifiers);
    }
    static int marksOn(TextPane *pane, long line) { return textsw_marks_on(pane, line) & (errorMark | warningMark); }
    // The lines of `pane` that hold a mark.
    static std::vector<long> markedLines(TextPane *pane)
    {
        std::vector<long> lines;
        const long count = pane->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
        for (long line = 0; line < count; ++line)
            if (marksOn(pane, line))
                lines.push_back(line);
        return lines;
    }
};

// Five messages between lines that are none; the source has twenty lines.
const std::string fiveMessages = "cc: warming up\n"
                                 "prog.c:3: error: first\n"
                                 "prog.c:5: error: second\n"
                                 "  a line that is no message\n"
                                 "prog.c:7: warning: third\n"
                                 "prog.c:9: error: fourth\n"
                                 "prog.c:11: note: fifth\n";

TEST_F(ResultsTest, ADoubleClickOnAMessageShowsItAndNextGoesOnFromThere)
{
    openFile("prog.c", numberedLines(20));
    compilePrinting(fiveMessages);
    ASSERT_EQ(errorList.entries().size(), 5u);

    doubleClickOutputLine(5); // "prog.c:7: warning: third" (line 0 is the program's name)
    EXPECT_EQ(errorList.errorCursor(), 2);
    EXPECT_EQ(resultsMessageText(), "--- Error line 7 ---");
    EXPECT_EQ(secondaryInResults(), "prog.c:7: warning: third");
    EXPECT_EQ(selectedIn(textPane), "line 7\n");
    EXPECT_EQ(shownButtons(), (NavigationButtons{true, true, true, true}));
    Textsw_index first = 0, end = 0;
    textsw_get_selection(resultsWindow->resultsPane, &first, &end, TEXTSW_SEL_PRIMARY);
    EXPECT_EQ(first, end); // no word was selected

    nextError();
    EXPECT_EQ(resultsMessageText(), "--- Error line 9 ---");
    EXPECT_EQ(selectedIn(textPane), "line 9\n");

    // A line that is no message selects a word, and the list stays where it was.
    doubleClickOutputLine(1);
    EXPECT_EQ(errorList.errorCursor(), 3);
    EXPECT_EQ(resultsMessageText(), "--- Error line 9 ---");
    EXPECT_EQ(selectedIn(textPane), "line 9\n");
    textsw_get_selection(resultsWindow->resultsPane, &first, &end, TEXTSW_SEL_PRIMARY);
    EXPECT_EQ(textsw_contents(resultsWindow->resultsPane, first, end), "cc");

    // During the next compile the list is the old output's: a double click is only a click.
    configure("sh waits.sh");
    startCompile();
    doubleClickOutputLine(0);
    EXPECT_EQ(errorList.errorCursor(), 3);
}

TEST_F(ResultsTest, F8AndShiftF8StepLikeTheButtonsFromEveryWindow)
{
    openFile("prog.c", numberedLines(20));
    TestProjectWindow project(3, "util.h", numberedLines(10));
    compilePrinting(fiveMessages + "util.h:4: warning: in the project window\n");
    ASSERT_EQ(errorList.entries().size(), 6u);

    // From the main window, with the focus in the editor and then in the terminal.
    press(mainFrame, textPane, Qt::Key_F8);
    EXPECT_EQ(resultsMessageText(), "--- Error line 3 ---");
    EXPECT_EQ(selectedIn(textPane), "line 3\n");
    press(mainFrame, textPane, Qt::Key_F8, Qt::ShiftModifier); // as the previous button does at the first
    EXPECT_EQ(resultsMessageText(), "--- First message ---");
    setResultsMessage("");
    press(mainFrame, textPane, Qt::Key_F8, Qt::ShiftModifier); // the previous button is inactive now
    EXPECT_EQ(resultsMessageText(), "");
    press(mainFrame, terminalPane, Qt::Key_F8);
    EXPECT_EQ(resultsMessageText(), "--- Error line 5 ---");
    press(mainFrame, terminalPane, Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(resultsMessageText(), "--- Error line 3 ---");
    EXPECT_EQ(errorList.errorCursor(), 0);

    // From the results window and from the project window.
    lastError();
    press(resultsWindow, resultsWindow->resultsPane, Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(resultsMessageText(), "--- Error line 11 ---");
    press(project.frame(), project.window().pane, Qt::Key_F8);
    EXPECT_EQ(resultsMessageText(), "--- Error line 4 ---");
    EXPECT_EQ(selectedIn(project.window().pane), "line 4\n");
    press(project.frame(), project.window().pane, Qt::Key_F8);
    EXPECT_EQ(resultsMessageText(), "--- Last message ---");
    press(project.frame(), project.window().pane, Qt::Key_F8); // next is inactive now
    EXPECT_EQ(resultsMessageText(), "--- Last message ---");
    EXPECT_EQ(marksOn(project.window().pane, 3), warningMark);

    // While a compile runs, and without results, the keys do nothing.
    configure("sh waits.sh");
    startCompile();
    press(mainFrame, textPane, Qt::Key_F8);
    EXPECT_EQ(resultsMessageText(), "*** Compiling ***");
    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    closeResults();
    press(mainFrame, textPane, Qt::Key_F8);
    EXPECT_EQ(resultsWindow, nullptr);
}

TEST_F(ResultsTest, MarksOfARealGccRunFollowEditsAndGoWithTheNextCompile)
{
    openFile("prog.c", "void f(void)\n{\n    int unused;\n    value = 1;\n}\n");
    compile("gcc -Wall -c *#");
    ASSERT_FALSE(placingMessageMarks());
    EXPECT_EQ(markedLines(textPane), (std::vector<long>{2, 3}));
    EXPECT_EQ(marksOn(textPane, 2), warningMark); // the unused variable
    EXPECT_EQ(marksOn(textPane, 3), errorMark);   // 'value' undeclared, and its note

    // The tooltip of the error's mark lists the messages of its line.
    const long y = textPane->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL,
                                           textPane->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 3UL));
    const int x = static_cast<int>(textPane->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0UL)) + 3;
    QApplication::setActiveWindow(mainFrame);
    QHelpEvent hover(QEvent::ToolTip, QPoint(x, static_cast<int>(y) + 3),
                     textPane->viewport()->mapToGlobal(QPoint(x, static_cast<int>(y) + 3)));
    QApplication::sendEvent(textPane->viewport(), &hover);
    const QString tip = QToolTip::text();
    EXPECT_TRUE(tip.contains("prog.c:4:5: error:") && tip.contains("prog.c:4:5: note:")) << tip.toStdString();
    EXPECT_FALSE(tip.contains("unused")) << tip.toStdString();
    QToolTip::hideText();

    // A line typed above them moves them; the messages stay in the list as they are.
    textsw_set_insertion_point(textPane, 0);
    type("/* new */\n");
    EXPECT_EQ(markedLines(textPane), (std::vector<long>{3, 4}));
    EXPECT_EQ(marksOn(textPane, 4), errorMark);

    // A rebuild that finds nothing takes them away; the next compile does too.
    snprintf(configurationTable[0].errorForm, sizeof configurationTable[0].errorForm, "nothing:%%");
    rebuildErrorList();
    EXPECT_TRUE(markedLines(textPane).empty());
    snprintf(configurationTable[0].errorForm, sizeof configurationTable[0].errorForm, "*#:%%");
    rebuildErrorList();
    EXPECT_EQ(markedLines(textPane).size(), 2u);
    configure("sh waits.sh");
    startCompile();
    EXPECT_TRUE(markedLines(textPane).empty());
    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    EXPECT_TRUE(markedLines(textPane).empty());

    // Closing the results window takes them away.
    compile("gcc -Wall -c *#");
    EXPECT_FALSE(markedLines(textPane).empty());
    closeResults();
    EXPECT_TRUE(markedLines(textPane).empty());
}

TEST_F(ResultsTest, AColumnIsUnderlinedWhileItsMessageIsShown)
{
    std::string source = numberedLines(20);
    source.replace(source.find("line 12\n"), 8, "abc tokenized rest\n");
    openFile("prog.c", source);
    compilePrinting("prog.c:12:5: error: here\nprog.c:3: error: no column\n");
    nextError();
    EXPECT_EQ(selectedIn(textPane), "abc tokenized rest\n");
    Textsw_index first = 0, end = 0;
    ASSERT_EQ(textsw_get_underline(textPane, &first, &end), 1);
    EXPECT_EQ(textsw_contents(textPane, first, end), "tokenized");
    nextError();
    EXPECT_EQ(textsw_get_underline(textPane, &first, &end), 0);
    previousError();
    EXPECT_EQ(textsw_get_underline(textPane, &first, &end), 1);
    closeResults();
    EXPECT_EQ(textsw_get_underline(textPane, &first, &end), 0);
}

TEST_F(ResultsTest, AColouredGccRunGivesWhatAnUncolouredOneGives)
{
    openFile("prog.c", "void f(void)\n{\n    int unused;\n    value = 1;\n}\n");
    compile("gcc -Wall -fdiagnostics-color=never -c *#");
    const std::string plain = resultsText();
    const std::vector<ErrorEntry> plainEntries(errorList.entries().begin(), errorList.entries().end());
    compile("gcc -Wall -fdiagnostics-color=always -c *#");
    EXPECT_EQ(resultsText(), plain);
    EXPECT_EQ(textOf(*compilerOutput), plain);
    EXPECT_EQ(std::vector<ErrorEntry>(errorList.entries().begin(), errorList.entries().end()), plainEntries);
    EXPECT_EQ(plainEntries.size(), 3u);
    EXPECT_EQ(plain.find('\x1b'), std::string::npos);
    EXPECT_GT(compilerOutput->styles().runCount(), 3u);
}

TEST_F(ResultsTest, BreakStopsACapturedCompileAndWhatItStarted)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("sleeps.sh"), "echo started\nsleep 60\n");
    writeFile(path("ignores.sh"), "trap '' INT\necho started\nsleep 60\n");
    struct Case {
        const char *call;
        const char *message;
        bool byEscape;
    };
    for (const Case &c : {Case{"sh sleeps.sh", "--- Killed by signal SIGINT ---", false},
                          Case{"sh ignores.sh", "--- Killed by signal SIGKILL ---", true}}) {
        configure(c.call);
        startCompile();
        ASSERT_TRUE(waitUntil([] { return resultsText() == "sh\nstarted\n"; }));
        const pid_t group = compilerProcess.processId();
        // An interrupt that reaches the shell while it starts the sleep may leave the shell running
        // (then only the kill 3 s later ends it): break once the sleep runs.
        ASSERT_TRUE(waitUntil([&] { return groupLives(group, "sleep"); }));
        QElapsedTimer clock;
        clock.start();
        if (c.byEscape)
            press(resultsWindow, resultsWindow->resultsPane, Qt::Key_Escape);
        else
            breakExecution();
        ASSERT_TRUE(waitUntil([] { return !compileRunning(); }, 4000)) << c.call;
        EXPECT_LT(clock.elapsed(), 4000);
        EXPECT_EQ(resultsMessageText(), c.message);
        EXPECT_FALSE(compileLock || compileButton->isBusy());
        EXPECT_EQ(textOf(*compilerOutput), "sh\nstarted\n");
        EXPECT_TRUE(waitUntil([&] { return !groupLives(group); }, 1000)) << "the sleep goes with its shell";
    }
    // Each break also interrupts what runs in the foreground of the terminal.
    const std::string interrupt("\x03\n", 2);
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{interrupt, interrupt}));
    EXPECT_EQ(notifyTimerCount(), 0);

    // Without a compile, Escape in the results window breaks what runs in the terminal.
    typed.clear();
    press(resultsWindow, resultsWindow->resultsPane, Qt::Key_Escape);
    EXPECT_EQ(typed.inputs(), std::vector<std::string>{interrupt});
}

TEST_F(ResultsTest, OutputBeyondThePanesLimitIsToldAtItsEnd)
{
    openFile("prog.c", "int x;\n");
    const long savedLimit = generalSettings.resultsTextMemoryLimit;
    generalSettings.resultsTextMemoryLimit = 5000;
    compile("seq 1 20000");
    generalSettings.resultsTextMemoryLimit = savedLimit;
    const long shown = textsw_length(resultsWindow->resultsPane);
    const long all = static_cast<long>(compilerOutput->size());
    EXPECT_LE(shown, 5000);
    EXPECT_EQ(all, 4 + 108894); // "seq\n" and the numbers
    EXPECT_EQ(resultsWindow->resultsPane->footer().toStdString(),
              "--- " + std::to_string(all - shown) +
                  " bytes of output not shown: the results window shows at most 5000 bytes ---");

    // Under the limit nothing is told.
    closeResults();
    compile("seq 1 10");
    EXPECT_TRUE(resultsWindow->resultsPane->footer().isEmpty());
}

TEST_F(ResultsTest, MessagesNamingTheFileByOtherPathsLeadToIt)
{
    openFile("prog.c", numberedLines(20));
    ASSERT_EQ(mkdir(path("other").c_str(), 0755) == 0 || errno == EEXIST, true);
    writeFile(path("other/prog.c"), numberedLines(20));
    const std::string here = directory.path();
    const std::string parent = here.substr(0, here.rfind('/'));
    const std::string folder = here.substr(here.rfind('/') + 1);
    compilePrinting("make: Entering directory '" + parent + "'\n" +      // make -C ..
                    folder + "/prog.c:3:5: error: from the folder above\n" +
                    "make: Leaving directory '" + parent + "'\n" +
                    here + "/prog.c:4: error: absolute\n" +
                    "./prog.c:5: warning: dot slash\n" +
                    "other/prog.c:6: error: another file of the same name\n" +
                    "prog.c:7: error: the name itself\n");
    std::vector<int> lines;
    for (const ErrorEntry &entry : errorList.entries()) {
        EXPECT_EQ(entry.projectSlot, mainDocumentSlot);
        lines.push_back(entry.lineNumber);
    }
    EXPECT_EQ(lines, (std::vector<int>{3, 4, 5, 7}));
    nextError();
    EXPECT_EQ(selectedIn(textPane), "line 3\n");
}

TEST_F(ResultsTest, AFileOpenedAsDotSlashGetsTheEntriesOfARealGccRun)
{
    writeFile(path("prog.c"), "int f(void)\n{\n    return value;\n}\n");
    openCommandLineFile("./prog.c"); // tsl ./prog.c
    ASSERT_EQ(document.fileName, "./prog.c");
    compile("gcc -c *#");
    ASSERT_EQ(errorList.entries().size(), 2u); // the error and its note
    EXPECT_EQ(errorList.entries()[0].lineNumber, 3);
    nextError();
    EXPECT_EQ(selectedIn(textPane), "    return value;\n");
}

} // namespace
