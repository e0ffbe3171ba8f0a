#pragma once
// The real main window with the shipped configuration, built once for the dialog tests, in a
// temporary directory that is the program's and the terminal's working directory. Each test
// starts with the configuration table as read, no dialog open and the chooser's starting choice;
// notices are answered by a script and terminal input is recorded, not typed.
#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/errornavigation.h"
#include "config/configurationdialog.h"
#include "config/fontchooser.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "support/mainwindowfixture.h"
#include "toolkit/panel.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textfield.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

class DialogTest : public MainWindowFixture {
public:
    static void SetUpTestSuite()
    {
        enterDirectory(directory.path());
        useDefaultConfiguration();
        buildWindow();
        std::copy(std::begin(configurationTable), std::end(configurationTable), std::begin(savedTable));
    }
    static void TearDownTestSuite()
    {
        destroyMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        leaveDirectory();
    }

protected:
    void SetUp() override
    {
        std::copy(std::begin(savedTable), std::end(savedTable), std::begin(configurationTable));
        currentConfiguration = 0;
        workingDirectory = fileDirectory = directory.path();
        fontChoice = FontChoice();
        mainFont = textPane->font();
    }
    void TearDown() override
    {
        EXPECT_TRUE(waitUntil([] { return !compileRunning(); }));
        closeResults();
        closeConfigurationDialog();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        textsw_set_font(textPane, mainFont);
        textsw_reset(textPane);
    }

    static std::string path(const std::string &name) { return directory.file(name); }

    static Panel *panel() { return configurationDialog.panel; }
    static PanelTextField *field(const char *label)
    {
        PanelTextField *found = panel() ? panel()->textField(label) : nullptr;
        EXPECT_TRUE(found) << label;
        return found;
    }
    static void setField(const char *label, const QString &text)
    {
        if (PanelTextField *f = field(label)) {
            f->lineEdit()->selectAll();
            f->lineEdit()->insert(text); // as typed or pasted
        }
    }
    // Presses Return in the field as the keyboard does.
    static void pressReturn(const char *label)
    {
        if (PanelTextField *f = field(label)) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
            QApplication::sendEvent(f->lineEdit(), &press);
        }
    }
    static void click(const char *label)
    {
        QPushButton *button = panel() ? panel()->button(label) : nullptr;
        ASSERT_TRUE(button) << label;
        button->click();
    }
    static QString dialogTitle() { return configurationDialog.frame ? configurationDialog.frame->windowTitle() : ""; }

    TerminalInputRecorder typed{false};
    static inline TempDir directory;
    static inline Configuration savedTable[configurationSlots];

private:
    QFont mainFont;
};
