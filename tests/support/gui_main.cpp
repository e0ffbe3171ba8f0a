#include <QApplication>
#include <gtest/gtest.h>

// GUI test programs run under a virtual X display; one QApplication serves every test.
// Listing the tests needs no display.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
