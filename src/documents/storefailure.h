#pragma once
// A store that fails is always told: a notice over the window whose text could not be stored,
// naming the file and the reason, so that the user can save elsewhere instead of losing edits.
#include <string>

class QWidget;

// Shows "Could not save the file" with `name` and the system's reason for `error` (an errno
// value), and the button "Ok", over `over`.
void reportStoreFailure(QWidget *over, const std::string &name, int error);
