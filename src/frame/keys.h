#pragma once
// The program's keys, each named once: the windows bind these names, the menus show them beside
// their items, and the tooltips of the image buttons quote them.
#include <QString>

namespace keys {
constexpr char open[] = "Ctrl+O";
constexpr char save[] = "Ctrl+S";
constexpr char saveAs[] = "Ctrl+Shift+S";
constexpr char quit[] = "Ctrl+Q";
constexpr char find[] = "Ctrl+F";
constexpr char findNextForward[] = "F3";
constexpr char findNextBackward[] = "Shift+F3";
constexpr char lineNumber[] = "Ctrl+G";
constexpr char replace[] = "Ctrl+H";
constexpr char undo[] = "Ctrl+Z";
constexpr char compile[] = "Ctrl+F7";
constexpr char runInForeground[] = "Ctrl+F5";
constexpr char nextMessage[] = "F8";
constexpr char previousMessage[] = "Shift+F8";
} // namespace keys

// An image button's tooltip: what it does, in the words of the menu item that does the same,
// followed by its key in brackets where it has one: "Save (Ctrl+S)".
inline QString buttonTip(const char *action, const char *keys = nullptr)
{
    const QString words = QString::fromUtf8(action);
    return keys ? words + QStringLiteral(" (") + QLatin1String(keys) + QLatin1Char(')') : words;
}
