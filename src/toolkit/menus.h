#pragma once
// Command menus: QMenus whose items carry an integer value and call a plain function when chosen.
// A pop-up menu shows its title as a first, inert line. A menu's done procedure runs whenever the
// menu closes (chosen item or not). A menu also carries an integer value of its own (a project
// window's menu carries the window's slot).

#include <QList>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

// Called with the menu the item belongs to and the chosen item; read the item's value with
// menuItemValue.
using MenuNotifyProc = void (*)(QMenu *menu, QAction *item);
using MenuDoneProc = void (*)(QMenu *menu);

// A menu titled `title`. With `showTitle` (pop-up menus) the title is the menu's first line.
QMenu *menuCreate(const QString &title, bool showTitle = false, QWidget *parent = nullptr);

// Appends an item; `proc` may be null (an item that does nothing). Labels are shown exactly as
// given: an '&' is a character, not the mark of a keyboard mnemonic.
QAction *menuAddItem(QMenu *menu, const QString &label, MenuNotifyProc proc, int value = 0);

// Appends an item that opens `submenu`; the submenu is then owned by `menu`.
QAction *menuAddSubmenu(QMenu *menu, const QString &label, QMenu *submenu);

// Gives an item a new label, shown exactly as given.
void menuSetItemLabel(QAction *item, const QString &label);
// An item's label as it was given.
QString menuItemLabel(const QAction *item);
// The item reached from `menu` through the labels of `path`, one per submenu level ("Find",
// "searching forward"); null when there is none.
QAction *menuFindItem(const QMenu *menu, const QStringList &path);

int menuItemValue(const QAction *item);
void menuSetItemValue(QAction *item, int value);

void menuSetValue(QMenu *menu, int value);
int menuValue(const QMenu *menu);

void menuSetDoneProc(QMenu *menu, MenuDoneProc proc);

// The chosen items of `menu` only, in order, without the title line and separators.
QList<QAction *> menuItems(const QMenu *menu);

// Makes the right mouse button on `widget` pop `menu` up (null removes it).
void menuAttachPopup(QWidget *widget, QMenu *menu);
