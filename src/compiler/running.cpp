#include "compiler/commandmacros.h"
#include "compiler/compilecommand.h"
#include "compiler/compilenotices.h"
#include "compiler/compilestate.h"
#include "compiler/compiling.h"
#include "compiler/expandcommand.h"
#include "compiler/running.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialog.h"
#include "frame/mainframe.h"
#include "toolkit/notice.h"
#include "toolkit/notifier.h"
#include "toolkit/terminalpane.h"

#include <string>

namespace {

// Types the configuration's target call into the terminal, in the background or the foreground.
void runTarget(bool inBackground)
{
    const Configuration &configuration = configurationTable[currentConfiguration];
    if ((compileLock && configuration.disableSaveWhileCompiling()) || currentConfiguration == plainFileConfiguration)
        return;
    const StartRefusal refusal =
        checkFileAndDirectory(document.fileName.c_str(), fileDirectory.c_str(), workingDirectory.c_str());
    if (refusal != StartRefusal::none) {
        const NoticeText notice = startRefusalNotice(refusal, false);
        notice_prompt(mainFrame, notice.lines, {noticeYes(notice.button)});
        showOpenDialog();
        return;
    }
    refreshFileName();
    if (!configuration.targetCall[0])
        return;
    expandCommand(
        targetCommandTemplate(configuration.targetCall, configuration.targetExtension, inBackground).c_str());
}

} // namespace

void runInBackground()
{
    runTarget(true);
}

void runInForeground()
{
    runTarget(false);
}

void breakExecution()
{
    // A captured compile is not connected to the terminal: it is stopped as well.
    if (compileRunning())
        stopCompile();
    refreshFileName();
    ttysw_input(terminalPane, breakExecutionInput.data(), static_cast<int>(breakExecutionInput.size()));
    notify_dispatch();
}
