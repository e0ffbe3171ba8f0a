#pragma once
// The macro language of command templates, and the texts that a command typed into the terminal
// pane is made of. Everything here is pure: no widgets, no global state.
//
// Macros of a template typed into the terminal:
//   '*'                  the root of the file name (the name without its matched extension)
//   '#'                  the matched extension
//   backslash + 'n'      one newline character
//   anything else        itself ('%' included; a backslash before any other character stays a
//                        backslash, and that character is handled on its own)
// The scan is one pass from left to right: text that a macro produced is never looked at again,
// so a '*' or '#' inside a file name stays as it is.
//
// The text of '*' and '#' reaches the shell as exactly its bytes and can run nothing: it goes in
// as it is when the shell reads each of its characters literally (prog, prog.c), and quoted
// otherwise, as a piece that joins the characters around it into one word ('my prog'.c). Inside
// the template's own single or double quotes it is quoted for those. At the start of a word a
// name that begins with "-" gets "./" before it, so that no command takes it for an option.
//
// How `expandCommand(template)` is built from this (window code):
//     offerToSave();                      // refreshes fileName first, then may ask to save
//     typeShellCommand(commandTypingSteps(template, fileName, matchedExtension));
// The expansion must come after offerToSave, which may change fileName. Nothing is reported
// back: a command that fails shows its error in the terminal, from the shell.

#include <cstddef>
#include <string>
#include <vector>

// Longest expanded command: the expansion buffer holds 4095 characters and the NUL.
constexpr std::size_t commandCapacity = 4095;

// fileName without its last strlen(matchedExtension) characters; empty when the extension is
// longer than the name. The end of the name is not compared with the extension.
std::string fileNameRoot(const char *fileName, const char *matchedExtension);

// The template with its macros replaced, cut at commandCapacity characters (whatever does not
// fit is dropped, also in the middle of a macro's text that needs no quotes; a quoted one goes
// in whole or not at all).
std::string expandCommandTemplate(const char *commandTemplate, const char *fileName,
                                  const char *matchedExtension);

// The separate inputs to type into the terminal, in order: the expanded template (possibly
// empty, possibly several lines), then a single "\n" that makes the shell run it.
std::vector<std::string> commandTypingSteps(const char *commandTemplate, const char *fileName,
                                            const char *matchedExtension);

// The template that runs the compiled program: targetCall immediately followed by
// targetExtension, with " &" after it for a run in the background.
std::string targetCommandTemplate(const char *targetCall, const char *targetExtension,
                                  bool inBackground);

// What "Break execution" types into the terminal, as one input: Ctrl-C and a newline.
inline const std::string breakExecutionInput{"\x03\n", 2};
