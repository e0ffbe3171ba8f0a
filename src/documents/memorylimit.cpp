#include "documents/memorylimit.h"

#include "toolkit/notice.h"
#include "toolkit/textpane.h"

#include <memory>
#include <string>

void watchMemoryLimit(TextPane *pane, LimitedPane which)
{
    // The settings as the configuration file numbers and describes them.
    const bool main = which == LimitedPane::main;
    const std::string setting = main ? "setting 1 of the configuration file" : "setting 3 of the configuration file";
    const std::string name = main ? "(memory limit of the main editor)." : "(memory limit of each project window's editor).";
    auto told = std::make_shared<bool>(false);
    textsw_set_refusal_proc(pane, [told, setting, name](TextPane *refusing) {
        if (*told)
            return;
        *told = true;
        const std::string limit = std::to_string(textsw_memory_limit(refusing));
        notice_prompt(refusing->window(),
                      {"The text has reached its memory limit of " + limit + " bytes:",
                       "what was typed or pasted was not taken in.", "The limit is " + setting, name},
                      {noticeYes("OK")});
    });
}
