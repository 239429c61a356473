// The main of widget tests: one QApplication for the whole run, on the offscreen platform
// unless the caller chose another, so the tests also run when started by hand.

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
