#pragma once
// Keyboard focus belongs to the text the user works in: panel controls never take it on a click,
// and an action that leaves its result in a pane can hand the focus to that pane.
class QWidget;

// Gives `pane` the keyboard focus and makes its window the active window.
void focus_give_to(QWidget *pane);
// True when the focus of `widget`'s window is `widget` or a widget inside it.
bool focus_is_within(const QWidget *widget);
// Makes every button inside `panel`, and those added later, leave the focus where it is when
// clicked.
void panel_keep_focus_off(QWidget *panel);
