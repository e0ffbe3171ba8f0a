#pragma once
// Keyboard shortcuts of the program's windows. A key bound here runs its command while the
// window is active, whichever pane has the focus, with two rules for the panes: the text panes
// leave every bound key to its command (the editor's own binding of the key gives way), and the
// terminal keeps every key except the function keys, so that Ctrl-C, Ctrl-Z, Ctrl-S, Ctrl-R and
// the rest reach the program running there unchanged.
#include <QKeySequence>

#include <functional>

class QAction;
class QKeyEvent;
class QWidget;

// Binds `keys` to a menu item: pressing them in `window` chooses the item, and the item's menu
// shows them in its shortcut column. The label does not change.
void shortcut_bind_item(QWidget *window, QAction *item, const QKeySequence &keys);
// Shows `keys` in the shortcut column of an item that another item with the same command
// already binds (an item of a pop-up menu); inside its open menu they choose it too.
void shortcut_show_on_item(QAction *item, const QKeySequence &keys);
// Binds `keys` to a command of `window` that no menu item carries.
QAction *shortcut_bind(QWidget *window, const QKeySequence &keys, std::function<void()> command);

// True when the key pressed is bound somewhere in the program.
bool shortcut_is_bound(const QKeyEvent *event);
// True for F1 to F35, with or without modifiers: the only keys the terminal gives up.
bool shortcut_is_function_key(const QKeyEvent *event);
