// Operations whose subsystems are not built yet. Until they are, the menu items and buttons that
// start them do nothing. Each moves to its subsystem when that is built.
#include "shell/operations.h"

void printDocument() {}
void printPreformatted() {}
void printAll() {}
void printOddPages() {}
void printEvenPages() {}

void editConfiguration() {}
void editPrintConfiguration() {}
void chooseFont() {}

void showProductNotice() {}
void showHelpText(HelpText) {}
void openHomePage() {}
