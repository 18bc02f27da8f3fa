// corvellin [FILE]: the photo-effects editor, opening FILE instead of the
// default picture when one is given.
#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>
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

namespace {

constexpr const char* kUsage = "Usage: corvellin [FILE]\n"
                               "Opens the picture FILE (JPEG, BMP, PNG, TIFF, WebP or HEIC) in the editor;\n"
                               "without FILE the editor starts with its default picture.\n";

struct CommandLine {
    bool help = false;
    QString file;
    QString error;  // what is wrong with the arguments, empty when nothing is
};

// The arguments after the program name, once Qt has taken its own. "--" ends
// the options, so that a file whose name begins with "-" can be named.
CommandLine ParseArguments(const QStringList& arguments) {
    CommandLine line;
    QStringList files;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (options && a == "--") {
            options = false;
        } else if (options && (a == "-h" || a == "--help")) {
            line.help = true;
        } else if (options && a.startsWith('-') && a != "-") {
            line.error = "unknown option " + a;
            return line;
        } else {
            files << a;
        }
    }
    if (files.size() > 1) line.error = "only one picture file can be opened at a time";
    else if (files.size() == 1) line.file = files.front();
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    // Help needs no display.
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") break;
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
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
    const CommandLine line = ParseArguments(QApplication::arguments());
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "corvellin: %s\n%s", line.error.toLocal8Bit().constData(), kUsage);
        return 2;
    }
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
    // What a crashed run left comes first; a file from the command line then
    // opens the way File > Open does (asking first if a restore brought back
    // unsaved work), unless the restored work is on that very file.
    QTimer::singleShot(0, &form, [&form, file = line.file] {
        const std::string restored = form.OfferRecovery();
        if (file.isEmpty()) return;
        if (!restored.empty() && QFileInfo(file).absoluteFilePath() == QString::fromStdString(restored)) return;
        form.OpenCommandLineFile(file);
    });
    return QApplication::exec();
}
