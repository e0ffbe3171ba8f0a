#pragma once
// The operations that the main window's menus, pop-up menus and buttons start. Each belongs to
// the subsystem that defines it; the main window only wires them.

// Documents
void showOpenDialog();
void showSaveAsDialog();
void saveDocument();
void printDocument();
void printPreformatted();
void printAll();
void printOddPages();
void printEvenPages();
void clearWindow();
void undoLast();
void undoAll();
void quitProgram();

// Text tools
void startGoToLine();
void startFind(int direction);  // 0 forward, 1 backward
void findNext(int direction);
void startReplace();
void startColumnTool();
void startGrep();
void startDiff();
void cutString();
void copyString();
void insertString();            // into the main text pane
void insertStringTerminal();

// Configuration
void chooseConfiguration(int slot);
void editConfiguration();
void editPrintConfiguration();
void chooseFont();

// Compiler
void startCompile();
void runInBackground();
void runInForeground();
void breakExecution();

// Help
enum HelpText { aboutHelp, introductionHelp, summaryHelp };
void showProductNotice();
void showHelpText(HelpText which);
void openHomePage();
