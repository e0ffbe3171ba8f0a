#pragma once
// Printing: the selection or the stored file sent to the current configuration's printer device,
// and the configuration's print commands typed into the terminal.

// Print: the selection's bytes or the stored file's.
void printDocument();
// The "Formatted print" items: each types its print command, expanded, into the terminal.
void printPreformatted();
void printAll();
void printOddPages();
void printEvenPages();
