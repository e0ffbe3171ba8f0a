#include "texttools/gotoline.h"

#include "shell/mainwindow.h"
#include "toolkit/notice.h"
#include "toolkit/textpane.h"

#include <cstring>

namespace {

void lineNotFound()
{
    notice_prompt(mainFrame, {" Line number", "not found"}, {noticeYes("   Ok   ")});
}

} // namespace

void goToLine(TextPane *pane, int line)
{
    if (!pane)
        return;
    const long length = textsw_length(pane);
    const std::string text = textsw_contents(pane, 0, length);
    long pos = 0;
    for (int remaining = line; remaining > 0; --remaining) {
        const void *newline = std::memchr(text.data() + pos, '\n', static_cast<size_t>(length - pos));
        if (!newline) {
            lineNotFound();
            return;
        }
        pos = static_cast<const char *>(newline) - text.data() + 1;
    }
    textsw_possibly_normalize(pane, pos);
    const void *end = std::memchr(text.data() + pos, '\n', static_cast<size_t>(length - pos));
    if (!end) {
        lineNotFound();
        return;
    }
    const long lastPlusOne = static_cast<const char *>(end) - text.data() + 1;
    textsw_set_selection(pane, pos, lastPlusOne, TEXTSW_SEL_PRIMARY);
}
