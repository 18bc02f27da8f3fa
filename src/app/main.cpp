// corvellin: the photo-effects editor.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "MainForm.h"
#include "platform/DisplayPlatform.h"
#include "platform/ProgramDir.h"
#include "platform/qt/TerminationSignals.h"
#include "platform/qt/Theme.h"

int main(int argc, char** argv) {
    // Without a display the window system plug-in would abort; say what to do instead.
    const corvellin::DisplayChoice display = corvellin::ChooseDisplayPlatform([](const char* name) { return std::getenv(name); });
    if (!display.error.empty()) {
        std::fputs(display.error.c_str(), stderr);
        return 1;
    }
    // The chosen plug-ins go to Qt as its own -platform option, so that programs
    // the editor starts (the browser, the companion program) choose for themselves.
    std::vector<char*> arguments(argv, argv + argc);
    std::string platformOption = "-platform";
    std::string platform = display.platform;
    if (!platform.empty()) {
        arguments.insert(arguments.begin() + 1, {platformOption.data(), platform.data()});
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    QApplication application(count, arguments.data());
    QApplication::setApplicationName("Corvellin Photo Editor");
    // Wayland compositors find the window's icon and name through its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvellin-photo"));
    corvellin::ApplyTheme(application);
    corvellin::TMainForm form(corvellin::ProgramDir());
    // Before the window shows: from then on a session's end must find the handler.
    corvellin::CloseOnTerminationSignals([&form] { form.close(); });
    // Centred on the desktop when restored; opened maximised.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = form.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    form.showMaximized();
    return QApplication::exec();
}
