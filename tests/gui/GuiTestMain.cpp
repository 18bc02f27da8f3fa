// The window tests run inside one QApplication on the offscreen platform.
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/qt/Theme.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every window reads and writes its settings file: keep each test process's
    // own, away from the user's.
    char configHome[] = "/tmp/corvellin-gui-config-XXXXXX";
    if (::mkdtemp(configHome)) qputenv("XDG_CONFIG_HOME", configHome);
    // Recovery files too.
    char stateHome[] = "/tmp/corvellin-gui-state-XXXXXX";
    if (::mkdtemp(stateHome)) qputenv("XDG_STATE_HOME", stateHome);
    QApplication application(argc, argv);
    corvellin::ApplyTheme(application);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(configHome);
    std::filesystem::remove_all(stateHome);
    return result;
}
