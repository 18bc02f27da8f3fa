// corvellin: the photo-effects editor.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MainForm.h"
#include "platform/ProgramDir.h"
#include "platform/qt/Theme.h"

int main(int argc, char** argv) {
    // Without a display the window system plug-in would abort; say what to do instead.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string chosen = platform ? platform : "";
    const bool wantsX = chosen.empty() || chosen.rfind("xcb", 0) == 0;
    const char* display = std::getenv("DISPLAY");
    if (wantsX && (display == nullptr || *display == '\0')) {
        std::fputs(
            "corvellin: no display found (DISPLAY is not set).\n"
            "Run it on a desktop, or under a virtual X server:\n"
            "  xvfb-run -a -s '-screen 0 1280x1024x24' corvellin\n",
            stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Corvellin Photo Editor");
    corvellin::ApplyTheme(application);
    corvellin::TMainForm form(corvellin::ProgramDir());
    // Centred on the desktop when restored; opened maximised.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = form.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    form.showMaximized();
    return QApplication::exec();
}
