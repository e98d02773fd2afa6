// Runs the ui tests inside a QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    testing::InitGoogleTest(&argc, argv);
    int qtArgc = 1;
    char name[] = "ui_tests";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    return RUN_ALL_TESTS();
}
