#pragma once
// Closing a window as a window manager does: the WM_DELETE_WINDOW message of WM_PROTOCOLS.
class QWidget;

void closeAsWindowManager(QWidget *window);
