// Every image button says what it does in its tooltip: the words of the menu item that does the
// same, and the key that does it in the button's window.
#include "compiler/resultswindow.h"
#include "documents/projectwindows.h"
#include "support/mainwindowfixture.h"
#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QRegularExpression>

#include <set>

namespace {

class ButtonTipsTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        useDefaultConfiguration();
        buildWindow();
    }
    void TearDown() override
    {
        closeProjectWindows();
        destroyResultsWindow();
        destroyMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The tooltips of the image buttons inside `panel`, in their order.
    static QStringList tips(const QWidget *panel)
    {
        QStringList result;
        for (const ImageButton *button : panel->findChildren<ImageButton *>())
            result << button->toolTip();
        return result;
    }
    // Checks every tip: not empty, each once, and a key in brackets is one that `window` binds.
    // Returns the tips' words without the keys.
    static QStringList checkTips(const QStringList &all, const QWidget *window)
    {
        std::set<QString> keys;
        for (const QAction *action : window->actions())
            if (!action->shortcut().isEmpty())
                keys.insert(action->shortcut().toString());
        QStringList words;
        for (const QString &tip : all) {
            SCOPED_TRACE(tip.toStdString());
            EXPECT_FALSE(tip.trimmed().isEmpty());
            EXPECT_EQ(all.count(tip), 1);
            const QRegularExpressionMatch key = QRegularExpression(" \\((.+)\\)$").match(tip);
            if (key.hasMatch()) {
                EXPECT_EQ(keys.count(key.captured(1)), 1u);
            }
            words << (key.hasMatch() ? tip.left(key.capturedStart()) : tip);
        }
        return words;
    }
};

TEST_F(ButtonTipsTest, EveryImageButtonSaysWhatItDoesAndItsKey)
{
    // The main panel: the menu items' own words, "Find, searching forward" for Find's submenu.
    const QStringList panel = tips(buttonPanel);
    ASSERT_EQ(panel.size(), 14);
    EXPECT_EQ(panel.at(1), "Save (Ctrl+S)");
    for (const QString &words : checkTips(panel, mainFrame)) {
        const QStringList path = words.split(", ");
        EXPECT_TRUE(menuFindItem(fileMenu, path) || menuFindItem(toolsMenu, path) || menuFindItem(executeMenu, path))
            << words.toStdString();
    }

    // A project window's bar: its own menu's words, and its keys.
    TempDir dir;
    writeFile(dir.file("p.c"), "p\n");
    ASSERT_TRUE(createProjectWindow(0, dir.file("p.c")));
    const ProjectWindow &window = *projectWindowTable[0];
    const QStringList bar = tips(window.buttonBar);
    ASSERT_EQ(bar.size(), 7);
    EXPECT_EQ(bar.at(0), "Save (Ctrl+S)");
    const QStringList barWords = checkTips(bar, window.frame);
    for (int i = 0; i < 6; ++i) // all but the close button
        EXPECT_NE(menuFindItem(window.menu, {barWords.at(i)}), nullptr) << barWords.at(i).toStdString();

    // The results window.
    createResultsWindow();
    const QStringList results = tips(resultsWindow->resultsButtons);
    ASSERT_EQ(results.size(), 8);
    EXPECT_EQ(results.at(2), "Next message (F8)");
    checkTips(results, resultsWindow);
}

} // namespace
