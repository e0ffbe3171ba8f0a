#pragma once
// The fixed notices of compiling and running the target: message lines and the one button,
// exactly as shown. Each is shown over the main frame.

#include "compiler/compilecommand.h"

#include <string>
#include <vector>

struct NoticeText {
    std::vector<std::string> lines;
    std::string button;
};

// Why a compile (forCompile) or a run cannot start; empty lines for StartRefusal::none.
NoticeText startRefusalNotice(StartRefusal refusal, bool forCompile);

// The compile call holds '*' and the file name does not end with the matched extension.
NoticeText sourceFormatNotice();

// Shown in the terminal, as output on a line of its own, when no child can be created.
inline const char *const forkFailedMessage =
    "Sorry, could not fork a new process, using terminal subwindow";
