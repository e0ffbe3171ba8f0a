#pragma once
// A flood of compiler output: about 5 MB of what gcc prints for a file full of faults, messages
// about prog.c (each followed by the source line it quotes and the caret under it) between
// messages about other files and the "In function" lines. Made once per test program.
#include <string>

struct FloodOutput {
    std::string text;
    int messages = 0; // the lines "prog.c:N:C: kind: ..." among them
};

inline const FloodOutput &floodOutput()
{
    static const FloodOutput flood = [] {
        const char *const kinds[] = {"error", "warning", "note"};
        FloodOutput made;
        made.text.reserve(5 * 1024 * 1024 + 512);
        for (int i = 0; made.text.size() < 5u * 1024 * 1024; ++i) {
            const std::string line = std::to_string(i % 4000 + 1);
            if (i % 50 == 0)
                made.text += "prog.c: In function \xE2\x80\x98" "f" + std::to_string(i) + "\xE2\x80\x99:\n";
            if (i % 7 == 3) {
                made.text += "lib/other.c:" + line + ":9: warning: unused variable \xE2\x80\x98y\xE2\x80\x99\n";
                continue;
            }
            made.text += "prog.c:" + line + ":13: " + kinds[i % 3] + ": \xE2\x80\x98value" + std::to_string(i) +
                         "\xE2\x80\x99 undeclared (first use in this function)\n";
            made.text += " " + line + " |     int x = value" + std::to_string(i) + ";\n";
            made.text += "      |             ^~~~~\n";
            ++made.messages;
        }
        return made;
    }();
    return flood;
}
