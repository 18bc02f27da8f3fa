#include "Shell.h"

#include <QDesktopServices>
#include <QDialog>
#include <QProcess>

namespace corvellin {

namespace {

class DesktopShell : public ShellSeam {
public:
    bool open(QWidget*, const QUrl& url) override { return QDesktopServices::openUrl(url); }
    bool startProgram(QWidget*, const QString& program) override { return QProcess::startDetached(program, {}); }
};

ShellSeam* installedShell = nullptr;

ModalRunner& InstalledRunner() {
    static ModalRunner runner;
    return runner;
}

}  // namespace

ShellSeam& Shell() {
    static DesktopShell desktop;
    return installedShell ? *installedShell : desktop;
}

void SetShellSeam(ShellSeam* seam) { installedShell = seam; }

bool ShellOpen(QWidget* owner, const QUrl& url) { return Shell().open(owner, url); }

bool ShellOpenTarget(QWidget* owner, const QString& target) {
    if (target.startsWith('/')) return Shell().startProgram(owner, target);
    return Shell().open(owner, QUrl(target));
}

int RunModal(QDialog& dialog) {
    if (const ModalRunner& runner = InstalledRunner()) return runner(dialog);
    return dialog.exec();
}

void SetModalRunner(ModalRunner runner) { InstalledRunner() = std::move(runner); }

}  // namespace corvellin
