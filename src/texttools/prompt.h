#pragma once
// The prompt fields of the text tools. At most one is open (toolPrompt): in the main window's
// menu bar, after its five menu buttons, or in a project window's button bar.
#include <string>

class PanelTextField;
class QWidget;
class TextPane;

constexpr int promptVisibleCharacters = 30;
constexpr int lineNumberVisibleCharacters = 8;
constexpr int promptHeldCharacters = 256;

using PromptReturnProc = void (*)(PanelTextField *prompt);

// Opens the prompt `label` in `panel` (the menu bar, or a project window's button bar) and
// makes it toolPrompt. It carries `value` for its Return procedure and gets the keyboard focus;
// Escape closes it. An open prompt is closed first. The tool acts on the main text pane for the
// menu bar, on the project window's pane for its button bar.
PanelTextField *openToolPrompt(QWidget *panel, const char *label, int visibleCharacters, int value,
                               PromptReturnProc onReturn);

// Closes toolPrompt, if open. When the prompt had the keyboard focus, the pane its tool acts on
// gets it, so that the user types on where the tool left its result.
void closeToolPrompt();
// A prompt that stays open after its tool's notice (nothing found) gets the keyboard back with
// its text, in its own window, so that the user corrects the text and presses Return again.
void returnToToolPrompt();
// The pane the open prompt's tool acts on; null when no prompt is open.
QWidget *toolPromptPane();

// What the tools of the closing list (Go to line, Find, Replace, Grep, Column add/del) do
// first: when a prompt is open, close it and answer true, so that the tool does nothing else.
bool closeOpenToolPrompt();

// The prompt's text as bytes for `pane`: UTF-8 for a pane shown as UTF-8, else Latin-1.
std::string promptBytes(const PanelTextField *prompt, TextPane *pane);
