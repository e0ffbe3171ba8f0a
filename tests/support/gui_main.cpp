#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// GUI test programs run under a virtual X display; one QApplication serves every test.
// Listing the tests needs no display. Terminal panes run a plain POSIX shell that reads no start-up
// files, so that the tests do not depend on (or wait for) the user's own shell set-up.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    setenv("SHELL", "/bin/sh", 1);
    unsetenv("ENV");
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
