// The window tests run inside one QApplication on the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/qt/Theme.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    corvellin::ApplyTheme(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
