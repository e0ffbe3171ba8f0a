#pragma once
// Column add/del on the main text pane: a string inserted at or removed from the beginning or
// end of each selected line.

class PanelTextField;

// The menu action.
void startColumnTool();

// The Return handler of the "String -> " prompt: asks what to do and does it to the lines
// that were selected when the tool started, as one change that one Undo takes back.
void runColumnTool(PanelTextField *prompt);
