#include "compiler/compilenotices.h"

namespace {

const char *const ruler = "-------------------------------------";

} // namespace

NoticeText startRefusalNotice(StartRefusal refusal, bool forCompile)
{
    const char *heading = forCompile ? " COULD NOT START TO COMPILE BECAUSE: "
                                     : " COULD NOT START TO EXECUTE BECAUSE: ";
    switch (refusal) {
    case StartRefusal::noFile:
        return {{heading, ruler, "             there's no              ",
                 "             file edited             ", ruler},
                " Open file "};
    case StartRefusal::directoryDiffers:
        return {{heading, ruler, "       directory of edited file      ",
                 "          is different from          ",
                 "          working directory          ", ruler},
                forCompile ? " Change path " : " Change path  "};
    case StartRefusal::none:
        break;
    }
    return {};
}

NoticeText sourceFormatNotice()
{
    return {{" COULD NOT START TO COMPILE BECAUSE: ", ruler, "         Source file format          ",
             "     differs from configuration      ", ruler},
            " Cancel "};
}
