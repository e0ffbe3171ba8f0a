#pragma once
// Clear window, Undo, Undo all and QUIT, on the main window's text.

void clearWindow();
void undoLast();
void undoAll();
void quitProgram();
