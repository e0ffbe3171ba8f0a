#include "compiler/errornavigation.h"

#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/projectwindows.h"

namespace {

std::vector<ProjectFileTitle> projectTitles()
{
    std::vector<ProjectFileTitle> titles;
    for (int slot = 0; slot < projectWindowSlots; ++slot) {
        if (const ProjectWindow *window = projectWindowTable[slot]) {
            ProjectFileTitle title;
            title.slot = slot;
            title.edited = window->edited;
            title.title = window->fileName + (window->edited ? " - edited" : "");
            titles.push_back(title);
        }
    }
    return titles;
}

} // namespace

void rebuildErrorList()
{
    if (!compilerOutput)
        return;
    errorList.rebuild(parseErrorMessages(*compilerOutput, configurationTable[currentConfiguration].errorForm,
                                         document.fileName.c_str(),
                                         projectTitles()));
}
