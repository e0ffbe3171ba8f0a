#include "documents/projectwindows.h"

ProjectWindow *projectWindowTable[projectWindowSlots];

// Project windows do not exist yet: a project file is not opened.
void openProjectFile() {}
