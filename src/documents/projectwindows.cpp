#include "documents/projectwindows.h"

ProjectWindow *projectWindowTable[projectWindowSlots];
