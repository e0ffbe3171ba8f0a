#include "documents/storefailure.h"

#include "toolkit/notice.h"

#include <cstring>

void reportStoreFailure(QWidget *over, const std::string &name, int error)
{
    notice_prompt(over, {"Could not save the file", name, std::strerror(error)}, {noticeYes("Ok")});
}
