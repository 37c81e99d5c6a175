// Runs the tests inside a QApplication on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>

// Qt keeps some allocations until the process ends; they are not the program's leaks.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
