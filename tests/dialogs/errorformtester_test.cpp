// The error-form tester of "Edit configuration": live results as the form and the sample are
// typed, the count on the last output, and nothing stored by it.
#include "dialogfixture.h"

#include "compiler/compiling.h"
#include "config/errorformtester.h"
#include "support/flood.h"

#include <QLabel>

namespace {

class ErrorFormTesterTest : public DialogTest {
protected:
    static QString shown(const char *name)
    {
        auto *label = configurationDialog.frame ? configurationDialog.frame->findChild<QLabel *>(name) : nullptr;
        EXPECT_TRUE(label) << name;
        return label ? label->text() : QString();
    }
    static PanelTextField *sample()
    {
        return configurationDialog.frame ? configurationDialog.frame->findChild<PanelTextField *>("ErrorFormSample")
                                         : nullptr;
    }
    static void typeSample(const QString &text)
    {
        sample()->lineEdit()->selectAll();
        sample()->lineEdit()->insert(text);
    }
    // Compiles with a stand-in compiler that prints the file `name`.
    static void compilePrinting(const std::string &name)
    {
        snprintf(configurationTable[0].compilerCall, sizeof configurationTable[0].compilerCall, "cat %s", name.c_str());
        startCompile();
        ASSERT_TRUE(waitUntil([] { return !compileRunning(); }, 30000));
    }
};

} // namespace

TEST_F(ErrorFormTesterTest, TriesTheFormAsTypedAndStoresNothing)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("out.txt"), "gcc -Wall -c prog.c\nprog.c: In function 'main':\nprog.c:12:5: error: expected ';'\n"
                               "other.c:3:1: warning: unused\nprog.c:14:1: note: here\n");
    compilePrinting("out.txt");
    editConfiguration();
    ASSERT_TRUE(sample());
    EXPECT_EQ(sample()->value(), "prog.c:12:5: error: expected ';'");
    EXPECT_EQ(shown("ErrorFormTrial"), "prog.c, line 12");

    setField("              ERROR MESSAGES FORM -> ", "*#(%)");
    EXPECT_EQ(shown("ErrorFormTrial"), "no message: the form stops at character 3");
    setField("              ERROR MESSAGES FORM -> ", "*#:%");
    typeSample("other.c:3:1: warning: unused");
    EXPECT_EQ(shown("ErrorFormTrial"), "no message for the edited file");
    EXPECT_TRUE(waitUntil([] { return shown("ErrorFormCount") == "2 messages in the last output"; }));

    // Cancel keeps the form; the tester stored nothing on the way.
    setField("              ERROR MESSAGES FORM -> ", "*#(%)");
    EXPECT_STREQ(configurationTable[0].errorForm, "*#:%");
    click("  cancel  ");
    EXPECT_STREQ(configurationTable[0].errorForm, savedTable[0].errorForm);
    EXPECT_EQ(errorList.entries().size(), 2u);

    // OK stores the form as before, whatever the sample holds.
    editConfiguration();
    typeSample("anything");
    setField("              ERROR MESSAGES FORM -> ", "*#(%)");
    pressReturn("              ERROR MESSAGES FORM -> ");
    EXPECT_FALSE(configurationDialog.open);
    EXPECT_STREQ(configurationTable[0].errorForm, "*#(%)");
    EXPECT_TRUE(errorList.entries().empty());
}

TEST_F(ErrorFormTesterTest, CountsTheFloodWithoutHoldingTheDialog)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("flood.txt"), floodOutput().text);
    compilePrinting("flood.txt");
    ASSERT_EQ(errorList.entries().size(), static_cast<std::size_t>(floodOutput().messages));

    editConfiguration();
    // The dialog is up before the count: it is made a slice at a time.
    EXPECT_EQ(shown("ErrorFormCount"), QString::fromUtf8("counting\u2026"));
    const QString expected = QString::fromStdString(messageCountText(static_cast<std::size_t>(floodOutput().messages)));
    EXPECT_TRUE(waitUntil([&] { return shown("ErrorFormCount") == expected; }, 30000));
    EXPECT_EQ(shown("ErrorFormTrial"), "prog.c, line 1");

    // Typing the form counts again, with the form as typed.
    setField("              ERROR MESSAGES FORM -> ", "lib/*#:%");
    EXPECT_EQ(shown("ErrorFormCount"), QString::fromUtf8("counting\u2026"));
    EXPECT_TRUE(waitUntil([] { return shown("ErrorFormCount") == "no messages in the last output"; }, 30000));
}
