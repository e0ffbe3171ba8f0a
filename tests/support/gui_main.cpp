#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// GUI test programs run under a virtual X display; one QApplication serves every test.
// Listing the tests needs no display. Terminal panes run a plain POSIX shell that reads no start-up
// files, so that the tests do not depend on (or wait for) the user's own shell set-up. Recovery
// journals go to a folder of the test program's own, removed at its end.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    setenv("SHELL", "/bin/sh", 1);
    unsetenv("ENV");
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    char state[] = "/tmp/tsl-test-state-XXXXXX";
    if (mkdtemp(state))
        setenv("XDG_STATE_HOME", state, 1);
    QApplication app(argc, argv);
    const int status = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(state, ignored);
    return status;
}
