// A key that the memory limit refuses marks nothing: the title, the edited state and the Save
// button stay; the user hears a beep and, the first time, reads which setting sets the limit.
#include "mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "toolkit/frame.h"

#include <QApplication>
#include <QTest>

namespace {

class MemoryLimitTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        textsw_set_memory_limit(textPane, 0);
        closeProjectWindows();
        MainWindowTest::TearDown();
    }
    static void typeInto(QWidget *pane, const char *keys)
    {
        pane->window()->activateWindow();
        ASSERT_TRUE(waitUntil([pane] { return QApplication::activeWindow() == pane->window(); }));
        pane->setFocus();
        QTest::keyClicks(pane, keys);
        QApplication::processEvents();
    }
};

TEST_F(MemoryLimitTest, ARefusedKeyMarksNothingAndIsToldOnce)
{
    const std::string text(200, 'a');
    load("big.c", text);
    textsw_set_memory_limit(textPane, 100);
    typeInto(textPane, "xy");
    EXPECT_EQ(paneText(), text);
    EXPECT_FALSE(document.edited);
    EXPECT_EQ(mainTitle(), "C: <big.c>");
    EXPECT_TRUE(saveButton->isInactive());
    ASSERT_EQ(notices.shown().size(), 1u);
    const NoticeRecord &told = notices.shown()[0];
    EXPECT_EQ(told.owner, mainFrame);
    EXPECT_NE(told.lines.at(0).find("memory limit of 100 bytes"), std::string::npos);
    EXPECT_NE(told.lines.at(2).find("setting 1 of the configuration file"), std::string::npos);

    // What fits still goes in and marks the document as usual.
    textsw_set_memory_limit(textPane, 201);
    typeInto(textPane, "z");
    EXPECT_TRUE(document.edited);
    EXPECT_EQ(mainTitle(), "C: <big.c> - edited");

    // A project window names its own setting.
    writeFile(dir.file("p.c"), "0123456789");
    generalSettings.projectTextMemoryLimit = 5;
    ASSERT_TRUE(createProjectWindow(0, "p.c"));
    generalSettings.projectTextMemoryLimit = 0;
    typeInto(projectWindowTable[0]->pane, "q");
    EXPECT_EQ(frame_label(projectWindowTable[0]->frame).toStdString(), "p.c");
    ASSERT_EQ(notices.shown().size(), 2u);
    EXPECT_EQ(notices.shown()[1].owner, projectWindowTable[0]->frame);
    EXPECT_NE(notices.shown()[1].lines.at(2).find("setting 3 of the configuration file"), std::string::npos);
}

} // namespace
