// A real gcc run whose messages lead into the project windows of a real project.
#include "compilerfixture.h"

#include "documents/projectwindows.h"

#include <QWidget>

namespace {

class ProjectNavigationTest : public CompilerWindowTest {
protected:
    void TearDown() override
    {
        closeProjectWindows();
        CompilerWindowTest::TearDown();
    }
};

std::string selectedText(TextPane *pane)
{
    Textsw_index first = 0, last = 0;
    textsw_get_selection(pane, &first, &last, TEXTSW_SEL_PRIMARY);
    return textsw_contents(pane, first, last);
}

TEST_F(ProjectNavigationTest, MessagesAboutAProjectFileSelectTheLineInItsWindow)
{
    writeFile(path("main.c"), "#include <stdio.h>\n#include \"util.h\"\n\nint main(void)\n{\n    return twice(2);\n}\n");
    writeFile(path("util.h"), "#ifndef UTIL_H\n#define UTIL_H\nint twice(number x);\n#endif\n");
    writeFile(path("util.c"), "#include \"util.h\"\n");
    writeFile(path("app.project"), "main.c\nutil.c\nutil.h\n");
    document.fileName = "app.project";
    directoryChanged = false;
    openProjectFile();
    ASSERT_NE(projectWindowTable[1], nullptr);
    ProjectWindow &header = *projectWindowTable[1];
    ASSERT_EQ(header.frame->windowTitle(), "util.h");

    for (const bool edited : {false, true}) {
        if (edited) {
            textsw_set_insertion_point(header.pane, 0);
            textsw_insert(header.pane, "\n", 1); // the error is on line 4 now, in the pane only
            QCoreApplication::processEvents();
            ASSERT_EQ(header.frame->windowTitle(), "util.h - edited");
            notices.press("Don't save");
        }
        compile();
        ASSERT_FALSE(errorList.entries().empty()) << resultsText();
        const ErrorEntry &first = errorList.entries()[0];
        EXPECT_EQ(first.projectSlot, 1);
        EXPECT_EQ(first.lineNumber, 3);
        nextError();
        EXPECT_EQ(selectedText(header.pane), edited ? "#define UTIL_H\n" : "int twice(number x);\n");
        closeResults();
    }
    EXPECT_EQ(notices.pendingPresses(), 0);
}

} // namespace
