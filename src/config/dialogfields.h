#pragma once
// Moving configuration fields between the table's byte arrays and the dialogs' text fields. A
// field's bytes go through the dialog unchanged unless the user edits them: bytes that are not
// UTF-8 are shown as Latin-1 and written back as Latin-1.

#include <QString>

#include <cstddef>

// The field's bytes as text: UTF-8 when they are valid UTF-8, else Latin-1.
QString fieldText(const char *bytes);

// Stores `text` into a field of `capacity` bytes (the NUL counted): cut, if need be, to
// capacity - 1 bytes, never inside a character. It is written as Latin-1 when the field's old
// bytes were not UTF-8 and every character fits Latin-1, else as UTF-8.
void storeFieldText(char *field, std::size_t capacity, const QString &text);

// Sets flag `index` of a flag line (0 compilerTerminates, 1 disableSaveWhileCompiling) to 'y' or
// 'n'. The rest of the line stays; a line too short to hold the flag is filled up with 'n'.
void storeFlag(char *flags, std::size_t capacity, int index, bool on);
