#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"
#include "support/waiting.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QWidgetAction>
#include <gtest/gtest.h>

namespace {

std::vector<int> chosenValues;
int doneCalls = 0;
std::vector<int> pressedValues;

void onItem(QMenu *, QAction *item)
{
    chosenValues.push_back(menuItemValue(item));
}

void onDone(QMenu *)
{
    ++doneCalls;
}

void onButton(ImageButton *button)
{
    pressedValues.push_back(button->clientValue());
}

const unsigned char cornerBits[32] = {0x01, 0x80}; // top left and top right pixels of 16 x 16

} // namespace

TEST(Menus, ItemsCarryTheirValuesAndSubmenusWork)
{
    chosenValues.clear();
    QMenu *tools = menuCreate(QStringLiteral("Tools"));
    QMenu *find = menuCreate(QStringLiteral("Find"));
    menuAddItem(find, QStringLiteral("searching forward"), onItem, 0);
    QAction *backward = menuAddItem(find, QStringLiteral("searching backward"), onItem, 1);
    menuAddSubmenu(tools, QStringLiteral("Find"), find);
    backward->trigger();
    menuItems(find).at(0)->trigger();
    EXPECT_EQ(chosenValues, (std::vector<int>{1, 0}));
    EXPECT_EQ(find->parent(), tools);
    menuSetValue(tools, 17);
    EXPECT_EQ(menuValue(tools), 17);
    delete tools;
}

TEST(Menus, PopUpShowsItsTitleFirstAsAnInertLine)
{
    chosenValues.clear();
    QMenu *popup = menuCreate(QStringLiteral("Terminal tools"), true);
    menuAddItem(popup, QStringLiteral("Grep"), onItem, 5);
    QList<QAction *> all = popup->actions();
    ASSERT_GE(all.size(), 3);
    auto *title = qobject_cast<QWidgetAction *>(all.at(0));
    ASSERT_TRUE(title);
    all.at(0)->trigger();
    EXPECT_TRUE(chosenValues.empty());
    EXPECT_EQ(menuItems(popup).size(), 1);
    EXPECT_EQ(menuItems(popup).at(0)->text(), QStringLiteral("Grep"));
    delete popup;
}

TEST(Menus, DoneProcedureRunsWhenTheMenuCloses)
{
    doneCalls = 0;
    QMenu *menu = menuCreate(QStringLiteral("File"));
    menuAddItem(menu, QStringLiteral("Open"), nullptr);
    menuSetDoneProc(menu, onDone);
    menuSetDoneProc(menu, onDone); // setting it again does not run it twice
    menu->popup(QPoint(10, 10));
    ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }, 2000));
    menu->hide();
    EXPECT_EQ(doneCalls, 1);
    delete menu;
}

TEST(Menus, AttachedPopUpOpensOnAContextRequest)
{
    QWidget pane;
    pane.resize(100, 100);
    pane.show();
    QMenu *menu = menuCreate(QStringLiteral("Text tools"), true);
    menuAttachPopup(&pane, menu);
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), pane.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&pane, &request);
    EXPECT_TRUE(waitUntil([&] { return menu->isVisible(); }, 2000));
    menu->hide();
    delete menu;
}

TEST(ImageButtons, XbmBitsAreReadLeastSignificantFirst)
{
    QImage image = pixmapFromXbm(XbmImage{cornerBits, 16, 16}).toImage();
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(15, 0)), 255);
    EXPECT_EQ(qAlpha(image.pixel(0, 1)), 0);
}

TEST(ImageButtons, InactiveAndBusyButtonsDoNotRespondAndLookDifferent)
{
    pressedValues.clear();
    ImageButton button(XbmImage{cornerBits, 16, 16}, onButton, 1);
    button.show();
    EXPECT_TRUE(button.press());
    button.setInactive(true);
    EXPECT_FALSE(button.press());
    EXPECT_FALSE(button.isEnabled());
    button.setInactive(false);

    button.setBusy(true);
    EXPECT_FALSE(button.press());
    EXPECT_TRUE(button.isEnabled());
    EXPECT_TRUE(button.isDown());
    QPoint middle = button.rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, middle, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, middle, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &press);
    QApplication::sendEvent(&button, &release);
    EXPECT_TRUE(button.isDown()); // a click neither runs it nor releases it
    button.setInactive(true);
    button.setInactive(false);
    EXPECT_TRUE(button.isDown());

    button.setBusy(false);
    EXPECT_FALSE(button.isDown());
    QApplication::sendEvent(&button, &press);
    QApplication::sendEvent(&button, &release);
    EXPECT_EQ(pressedValues, (std::vector<int>{1, 1}));
}
