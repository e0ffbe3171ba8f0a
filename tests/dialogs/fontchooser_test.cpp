#include "dialogfixture.h"

#include "documents/projectwindows.h"
#include "shell/startup.h"
#include "toolkit/xfonts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>

namespace {

using FontChooser = DialogTest;

PanelChoice *choice(const char *label)
{
    return configurationDialog.panel->choice(label);
}
PanelCheckBox *box(const char *label)
{
    return configurationDialog.panel->checkBox(label);
}
QLabel *preview()
{
    return configurationDialog.frame->findChild<QLabel *>("FontPreview");
}
const char foundry[] = "Foundry: ";
const char weight[] = "Weight:   ";
const char size[] = "Size:        ";
const char mainBox[] = "SET MAIN WINDOW FONT ->";
const char projectBox[] = "SET PROJECT WINDOW FONT ->";

bool sameFace(const QFont &shown, const QFont &face)
{
    return shown.family() == face.family() && shown.weight() == face.weight();
}

TEST_F(FontChooser, FirstOpensOnBoldFourteenPointLucidaForTheMainWindow)
{
    chooseFont();
    ASSERT_TRUE(configurationDialog.open);
    EXPECT_EQ(dialogTitle(), "Set font");
    ASSERT_TRUE(choice(foundry) && choice(weight) && choice(size));
    EXPECT_EQ(choice(foundry)->settingButton(3)->text(), "lucidasanstypewriter");
    EXPECT_EQ(choice(size)->settingButton(5)->text(), "16/24");
    EXPECT_EQ(choice(foundry)->value(), 3);
    EXPECT_EQ(choice(weight)->value(), 0);
    EXPECT_EQ(choice(size)->value(), 3);
    EXPECT_TRUE(box(mainBox)->isChecked());
    EXPECT_FALSE(box(projectBox)->isChecked());
    EXPECT_EQ(preview()->text(), "lucidasanstypewriter-bold-14");
    const XFontFace *face = xv_find_font("lucidasanstypewriter-bold-14");
    ASSERT_TRUE(face);
    EXPECT_EQ(chosenFont, face);
    EXPECT_TRUE(sameFace(preview()->font(), face->font));
    EXPECT_EQ(preview()->fontInfo().pixelSize(), face->pixelSize);
}

TEST_F(FontChooser, AChoiceChangedAndCancelledIsRememberedAndChangesNoFont)
{
    const QFont before = textPane->font();
    chooseFont();
    choice(foundry)->choose(2);
    choice(size)->choose(0);
    EXPECT_EQ(preview()->text(), "-adobe-courier-bold-r-normal--8-80-75-75-m-50-iso8859-1");
    box(projectBox)->box()->click(); // the boxes are taken only by OK
    click("  cancel  ");
    EXPECT_FALSE(configurationDialog.open);
    EXPECT_EQ(textPane->font(), before);

    chooseFont();
    EXPECT_EQ(choice(foundry)->value(), 2);
    EXPECT_EQ(choice(weight)->value(), 0);
    EXPECT_EQ(choice(size)->value(), 0);
    EXPECT_FALSE(box(projectBox)->isChecked());
    EXPECT_EQ(preview()->text(), "-adobe-courier-bold-r-normal--8-80-75-75-m-50-iso8859-1");
}

TEST_F(FontChooser, OkGivesTheFontToTheMainPane)
{
    chooseFont();
    choice(foundry)->choose(0);
    choice(weight)->choose(1);
    choice(size)->choose(0);
    EXPECT_EQ(preview()->text(), "5x8");
    click("    OK    ");
    EXPECT_FALSE(configurationDialog.open);
    const XFontFace *face = xv_find_font("5x8");
    ASSERT_TRUE(face);
    EXPECT_TRUE(sameFace(textPane->font(), face->font));
    EXPECT_EQ(QFontInfo(textPane->font()).pixelSize(), face->pixelSize);
}

TEST_F(FontChooser, TheProjectBoxAloneChangesEveryProjectWindowAndNotTheMainPane)
{
    for (const char *name : {"util.c", "util.h", "later.c"})
        writeFile(directory.file(name), "int x;\n");
    ASSERT_TRUE(createProjectWindow(0, "util.c"));
    ASSERT_TRUE(createProjectWindow(200, "util.h"));
    const QFont mainBefore = textPane->font();
    const XFontFace *projectBefore = projectFont;

    chooseFont();
    choice(foundry)->choose(2);
    choice(weight)->choose(1);
    choice(size)->choose(4);
    box(mainBox)->box()->click();
    box(projectBox)->box()->click();
    click("    OK    ");

    const XFontFace *face = xv_find_font("-adobe-courier-medium-r-normal--18-180-75-75-m-110-iso8859-1");
    ASSERT_TRUE(face);
    EXPECT_EQ(projectFont, face); // what later project windows get
    ASSERT_TRUE(createProjectWindow(1, "later.c"));
    for (int slot : {0, 200, 1}) {
        EXPECT_TRUE(sameFace(projectWindowTable[slot]->pane->paneFont(), face->font)) << slot;
        EXPECT_EQ(QFontInfo(projectWindowTable[slot]->pane->paneFont()).pixelSize(), face->pixelSize) << slot;
    }
    EXPECT_EQ(textPane->font(), mainBefore);
    EXPECT_FALSE(fontChoice.setMain);
    EXPECT_TRUE(fontChoice.setProject);

    chooseFont(); // the boxes taken by OK are shown again
    EXPECT_FALSE(box(mainBox)->isChecked());
    EXPECT_TRUE(box(projectBox)->isChecked());

    closeProjectWindows();
    projectFont = projectBefore;
}

TEST_F(FontChooser, ANameTheServerLacksIsNotAvailableAndNotFound)
{
    ProjectWindow window;
    window.pane = new TextPane;
    projectWindowTable[3] = &window;
    const QFont paneBefore = window.pane->font();
    const QFont mainBefore = textPane->font();
    const XFontFace *projectBefore = projectFont;

    chooseFont();
    choice(foundry)->choose(1); // the clean fonts have no bold face in ISO 8859-1
    EXPECT_EQ(preview()->text(), "Font not available");
    EXPECT_EQ(chosenFont, nullptr);
    box(projectBox)->box()->click();
    testing::internal::CaptureStdout();
    click("    OK    ");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Font not found.\n");
    EXPECT_FALSE(configurationDialog.open);
    EXPECT_EQ(textPane->font(), mainBefore);
    EXPECT_EQ(projectFont, nullptr); // later project windows keep the default font
    EXPECT_EQ(window.pane->font(), paneBefore);

    projectWindowTable[3] = nullptr;
    delete window.pane;
    projectFont = projectBefore;
}

TEST_F(FontChooser, BothLargestCleanSizesGiveTheSixteenPointFont)
{
    chooseFont();
    choice(foundry)->choose(1);
    choice(weight)->choose(1);
    choice(size)->choose(4);
    const QString large = preview()->text();
    choice(size)->choose(5);
    EXPECT_EQ(preview()->text(), large);
    EXPECT_EQ(large, "-schumacher-clean-medium-r-normal--16-160-75-75-c-80-iso8859-1");
    EXPECT_TRUE(chosenFont);
}

TEST_F(FontChooser, DoesNothingWhileEditConfigurationIsOpen)
{
    editConfiguration();
    chooseFont();
    EXPECT_EQ(dialogTitle(), "Edit configuration");
    EXPECT_EQ(panel()->choice(foundry), nullptr);
}

} // namespace
