#pragma once
// The Help menu: the product notice, the three help windows with the configuration file's help
// texts (one window at a time) and the home-page command.

class QWidget;
class QPlainTextEdit;

enum HelpText { aboutHelp, introductionHelp, summaryHelp };

// The Help menu's items.
void showProductNotice();
void showHelpText(HelpText which);
void openHomePage();

// The one help window that is open, or null.
extern QWidget *helpWindow;

// The text field of the open help window, or null.
QPlainTextEdit *helpTextField();

// The help window's close button (closing it through the window manager does the same).
void closeHelpWindow();

// The address that "WWW home page" asks the browser to show.
extern const char *const homePageUrl;
