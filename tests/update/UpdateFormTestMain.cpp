// The update window tests run inside one QApplication on the offscreen
// platform, with no proxy from the environment or the desktop, so that every
// request goes straight to the test's own loopback server.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    ::setenv("GSETTINGS_BACKEND", "memory", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
