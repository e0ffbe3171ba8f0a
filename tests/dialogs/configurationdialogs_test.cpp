#include "dialogfixture.h"

#include "compiler/compiling.h"
#include "compiler/resultswindow.h"
#include "toolkit/menus.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>

namespace {

using ConfigurationDialogs = DialogTest;

QMenu *configurationMenu()
{
    return menuItems(optionsMenu).at(1)->menu();
}

// The rows both editing dialogs end with: the macros explained, then OK and cancel.
const QList<QString> closingRows = {
    "message ",
    "message -----------------------------------------------------",
    "message Makros:    '*';  '#';  '%';  '\\n'   are replaced by:",
    "message filename's root;  it's extension;  the line number;  carr. return ",
    "message ",
    "message                           ",
    "button     OK    ",
    "message            ",
    "button   cancel  ",
};

QList<QString> panelTexts()
{
    QList<QString> texts;
    for (QWidget *item : configurationDialog.panel->items()) {
        if (auto *label = qobject_cast<QLabel *>(item))
            texts << "message " + label->text();
        else if (auto *field = qobject_cast<PanelTextField *>(item))
            texts << "field " + field->label()->text() + "|" + field->value();
        else if (auto *box = qobject_cast<PanelCheckBox *>(item))
            texts << "box " + box->label()->text() + (box->isChecked() ? "|on" : "|off");
        else if (auto *button = qobject_cast<QPushButton *>(item))
            texts << "button " + button->text();
    }
    return texts;
}

TEST_F(ConfigurationDialogs, ChoosingAnItemShowsItsDescriptionInTheTitle)
{
    openFile("prog.c", "int x;\n");
    const QList<QAction *> items = menuItems(configurationMenu());
    items.at(3)->trigger();
    EXPECT_EQ(currentConfiguration, 3);
    EXPECT_EQ(mainTitle(), std::string(configurationTable[3].description) + ": <prog.c>");
    EXPECT_EQ(mainTitle(), "Python 3 (syntax check): <prog.c>");

    items.at(0)->trigger();
    type(" ");
    items.at(3)->trigger();
    EXPECT_EQ(mainTitle(), "Python 3 (syntax check): <prog.c> - edited");
}

TEST_F(ConfigurationDialogs, AnUnfilledSlotHasAnEmptyLabelAndCompilesNothing)
{
    openFile("prog.c", "int x;\n");
    QAction *item = menuItems(configurationMenu()).at(23);
    EXPECT_EQ(item->text(), "");
    item->trigger();
    EXPECT_EQ(currentConfiguration, 23);
    EXPECT_EQ(mainTitle(), ": <prog.c>");
    startCompile();
    EXPECT_FALSE(compileRunning());
    EXPECT_EQ(resultsWindow, nullptr);
    EXPECT_TRUE(typed.inputs().empty());
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(ConfigurationDialogs, EditConfigurationShowsTheRowsOfTheCurrentConfiguration)
{
    currentConfiguration = 1;
    editConfiguration();
    ASSERT_TRUE(configurationDialog.open);
    EXPECT_EQ(dialogTitle(), "Edit configuration");
    const QList<QString> expected = QList<QString>{
        "message ",
        "field      COMPILER DESCRIPTION -> |C++ (g++)",
        "message ",
        "message ------------------- Compiler options -------------------",
        "field                      COMPILER CALL -> |g++ -g -Wall -o * *#",
        "field      SOURCE FILE EXTENSIONS -> |.cpp .cc .cxx .C .hpp .hh",
        "message ",
        "message ------------------- Execution options -------------------",
        "field           CALL TARGET FILE WITH -> |./*",
        "field           TARGET FILE EXTENSION -> |",
        "message ",
        "message ------------------- Error messages etc. ------------------",
        "field               ERROR MESSAGES FORM -> |*#:%",
        "box                 COMPILER TERMINATES -> |on",
        "box WHILE COMPILING, DISABLE SAVE  -> |on",
    } + closingRows;
    EXPECT_EQ(panelTexts(), expected);
    EXPECT_EQ(field("                     COMPILER CALL -> ")->lineEdit()->maxLength(), 256);
    EXPECT_EQ(field("              ERROR MESSAGES FORM -> ")->lineEdit()->maxLength(), 1024);

    // The labels' arrows line up: every value starts at the same x, each on its own row.
    QList<int> valueX, rowY;
    for (QWidget *item : panel()->items())
        if (auto *f = qobject_cast<PanelTextField *>(item)) {
            valueX << f->lineEdit()->mapTo(panel(), QPoint()).x();
            rowY << f->mapTo(panel(), QPoint()).y();
        } else if (auto *box = qobject_cast<PanelCheckBox *>(item)) {
            valueX << box->box()->mapTo(panel(), QPoint()).x();
            rowY << box->mapTo(panel(), QPoint()).y();
        }
    EXPECT_EQ(valueX.count(valueX.first()), valueX.size());
    EXPECT_EQ(std::adjacent_find(rowY.begin(), rowY.end(), std::greater_equal<int>()), rowY.end());
    // OK and cancel side by side on the last row.
    EXPECT_EQ(panel()->button("    OK    ")->y(), panel()->button("  cancel  ")->y());
}

TEST_F(ConfigurationDialogs, UncheckingCompilerTerminatesMakesTheNextCompileTypeItsCommand)
{
    openFile("prog.c", "int main(void) { return 0; }\n");
    editConfiguration();
    panel()->checkBox("                COMPILER TERMINATES -> ")->box()->click();
    click("    OK    ");
    EXPECT_FALSE(configurationDialog.open);
    EXPECT_STREQ(configurationTable[0].flags, "ny");
    startCompile();
    EXPECT_FALSE(compileRunning());
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"gcc -g -Wall -o prog prog.c", "\n"}));
}

TEST_F(ConfigurationDialogs, ReturnInTheErrorFormStoresTheWholeDialog)
{
    // Output with a message in each of two forms; the form in use finds the first.
    openFile("prog.c", "int x;\n");
    writeFile(path("prints.sh"), "printf 'prog.c:3: colon\\nprog.c(5) paren\\n'\nexit 1\n");
    snprintf(configurationTable[0].compilerCall, sizeof configurationTable[0].compilerCall, "sh prints.sh");
    startCompile();
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    ASSERT_EQ(errorList.entries().size(), 1u);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 3);

    editConfiguration();
    setField("     COMPILER DESCRIPTION -> ", "Mine");
    setField("                     COMPILER CALL -> ", "cc -o * *#");
    setField("     SOURCE FILE EXTENSIONS -> ", ".c .i");
    setField("          CALL TARGET FILE WITH -> ", "./* -v");
    setField("          TARGET FILE EXTENSION -> ", ".out");
    setField("              ERROR MESSAGES FORM -> ", "*#(%)");
    panel()->checkBox("WHILE COMPILING, DISABLE SAVE  -> ")->box()->click();
    pressReturn("              ERROR MESSAGES FORM -> ");

    EXPECT_FALSE(configurationDialog.open);
    const Configuration &c = configurationTable[0];
    EXPECT_STREQ(c.description, "Mine");
    EXPECT_STREQ(c.compilerCall, "cc -o * *#");
    EXPECT_STREQ(c.sourceExtensions, ".c .i");
    EXPECT_STREQ(c.targetCall, "./* -v");
    EXPECT_STREQ(c.targetExtension, ".out");
    EXPECT_STREQ(c.errorForm, "*#(%)");
    EXPECT_STREQ(c.flags, "yn");
    EXPECT_EQ(mainTitle(), "Mine: <prog.c>");
    EXPECT_EQ(menuItems(configurationMenu()).at(0)->text(), "Mine");
    ASSERT_EQ(errorList.entries().size(), 1u);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 5);
}

TEST_F(ConfigurationDialogs, LongValuesAreStoredCutToTheFieldsCapacity)
{
    editConfiguration();
    setField("                     COMPILER CALL -> ", QString(300, 'c'));
    setField("     COMPILER DESCRIPTION -> ", QString(300, 'd'));
    setField("              ERROR MESSAGES FORM -> ", QString(1500, 'e'));
    click("    OK    ");
    EXPECT_EQ(std::string(configurationTable[0].compilerCall), std::string(256, 'c'));
    EXPECT_EQ(std::string(configurationTable[0].description), std::string(255, 'd'));
    EXPECT_EQ(std::string(configurationTable[0].errorForm), std::string(1023, 'e'));
}

// An OK stores back only the fields the user changed: the others keep every byte, also a value
// longer than the field takes, which is shown whole and may be edited whole.
TEST_F(ConfigurationDialogs, FieldsTheUserDidNotChangeKeepEveryByte)
{
    std::string call = "gcc -g -Wall -o * *#";
    for (int i = 0; call.size() < 1000; ++i)
        call += " -DNAME" + std::to_string(i);
    call.resize(1000);
    Configuration &c = configurationTable[0];
    snprintf(c.compilerCall, sizeof c.compilerCall, "%s", call.c_str());
    snprintf(c.targetCall, sizeof c.targetCall, "./*\r"); // a line end from another system
    snprintf(c.errorForm, sizeof c.errorForm, "\xe9*#:%%"); // not UTF-8

    editConfiguration();
    EXPECT_EQ(field("                     COMPILER CALL -> ")->value(), QString::fromStdString(call));
    setField("     COMPILER DESCRIPTION -> ", "Only this");
    click("    OK    ");
    EXPECT_STREQ(c.description, "Only this");
    EXPECT_EQ(std::string(c.compilerCall), call);
    EXPECT_STREQ(c.targetCall, "./*\r");
    EXPECT_STREQ(c.errorForm, "\xe9*#:%");

    editConfiguration();
    QLineEdit *edit = field("                     COMPILER CALL -> ")->lineEdit();
    edit->end(false);
    edit->insert(" -O2");
    click("    OK    ");
    EXPECT_EQ(std::string(c.compilerCall), call + " -O2");
}

TEST_F(ConfigurationDialogs, CancelStoresNothing)
{
    const std::string title = mainTitle();
    editConfiguration();
    setField("     COMPILER DESCRIPTION -> ", "Changed");
    panel()->checkBox("                COMPILER TERMINATES -> ")->box()->click();
    click("  cancel  ");
    EXPECT_FALSE(configurationDialog.open);
    EXPECT_STREQ(configurationTable[0].description, savedTable[0].description);
    EXPECT_STREQ(configurationTable[0].flags, savedTable[0].flags);
    EXPECT_EQ(mainTitle(), title);
}

TEST_F(ConfigurationDialogs, PrintDialogStoresThePrintFieldsAndDropsTheDescription)
{
    currentConfiguration = 4;
    editPrintConfiguration();
    ASSERT_TRUE(configurationDialog.open);
    EXPECT_EQ(dialogTitle(), "Edit print configuration");
    const QList<QString> expected = QList<QString>{
        "message ",
        "field      COMPILER DESCRIPTION -> |Shell script (sh -n)",
        "message ",
        "message -------------------- Print options -----------------------",
        "field                 PRINTER DEVICE FILE -> |/dev/usb/lp0",
        "field             FORMATTED PRINT CALL -> |pr -f *# | lp",
        "field                        .. FOR ODD PAGES -> |pr -f *# | lp -o page-set=odd",
        "field                       .. FOR EVEN PAGES -> |pr -f *# | lp -o page-set=even",
        "field  .. USING A PREFORMATTED FILE -> |lp *#",
    } + closingRows;
    EXPECT_EQ(panelTexts(), expected);

    setField("     COMPILER DESCRIPTION -> ", "Not stored");
    setField("                PRINTER DEVICE FILE -> ", "/tmp/printer");
    setField("            FORMATTED PRINT CALL -> ", "a2ps *#");
    setField("                       .. FOR ODD PAGES -> ", "odd *#");
    setField("                      .. FOR EVEN PAGES -> ", "even *#");
    setField(" .. USING A PREFORMATTED FILE -> ", QString(2000, 'p'));
    const std::string title = mainTitle();
    pressReturn(" .. USING A PREFORMATTED FILE -> ");
    EXPECT_FALSE(configurationDialog.open);
    const Configuration &c = configurationTable[4];
    EXPECT_STREQ(c.description, "Shell script (sh -n)");
    EXPECT_STREQ(c.printerDevice, "/tmp/printer");
    EXPECT_STREQ(c.formattedPrintCall, "a2ps *#");
    EXPECT_STREQ(c.oddPagesCall, "odd *#");
    EXPECT_STREQ(c.evenPagesCall, "even *#");
    EXPECT_EQ(std::string(c.preformattedCall), std::string(1023, 'p'));
    EXPECT_STREQ(c.compilerCall, savedTable[4].compilerCall);
    EXPECT_EQ(mainTitle(), title);
}

TEST_F(ConfigurationDialogs, WhileOneDialogIsOpenTheOtherCommandsDoNothing)
{
    editConfiguration();
    QWidget *open = configurationDialog.frame;
    editConfiguration();
    editPrintConfiguration();
    chooseFont();
    EXPECT_EQ(configurationDialog.frame, open);
    EXPECT_EQ(dialogTitle(), "Edit configuration");
    EXPECT_EQ(mainFrame->findChildren<QWidget *>("ConfigurationDialog").size(), 1);
    click("  cancel  ");

    editPrintConfiguration();
    editConfiguration();
    chooseFont();
    EXPECT_EQ(dialogTitle(), "Edit print configuration");
    click("  cancel  ");

    chooseFont();
    editConfiguration();
    editPrintConfiguration();
    EXPECT_EQ(dialogTitle(), "Set font");
}

TEST_F(ConfigurationDialogs, ADialogClosedByTheWindowManagerLetsTheCommandsWorkAgain)
{
    for (void (*open)() : {editConfiguration, editPrintConfiguration, chooseFont}) {
        open();
        ASSERT_TRUE(configurationDialog.open);
        if (PanelTextField *description = panel()->textField("     COMPILER DESCRIPTION -> "))
            description->setValue("Dropped");
        configurationDialog.frame->close();
        EXPECT_FALSE(configurationDialog.open);
        EXPECT_EQ(configurationDialog.frame, nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(mainFrame->findChildren<QWidget *>("ConfigurationDialog").isEmpty());
    }
    EXPECT_STREQ(configurationTable[0].description, savedTable[0].description);
    editConfiguration();
    EXPECT_TRUE(configurationDialog.open);
}

// Choosing another configuration while a dialog is open: the dialog still stores into the
// configuration whose values it shows, never over another one.
TEST_F(ConfigurationDialogs, ADialogStoresIntoTheConfigurationItShows)
{
    openFile("prog.c", "int x;\n");
    editConfiguration();
    setField("     COMPILER DESCRIPTION -> ", "Edited C");
    chooseConfiguration(1);
    click("    OK    ");
    EXPECT_STREQ(configurationTable[0].description, "Edited C");
    EXPECT_STREQ(configurationTable[1].description, savedTable[1].description);
    EXPECT_STREQ(configurationTable[1].compilerCall, savedTable[1].compilerCall);
    EXPECT_EQ(mainTitle(), std::string(savedTable[1].description) + ": <prog.c>");

    editPrintConfiguration();
    setField("                PRINTER DEVICE FILE -> ", "/tmp/other");
    chooseConfiguration(0);
    click("    OK    ");
    EXPECT_STREQ(configurationTable[1].printerDevice, "/tmp/other");
    EXPECT_STREQ(configurationTable[0].printerDevice, savedTable[0].printerDevice);
}

} // namespace
