// The shell's "open" action (the desktop's handler for a file or address) and
// the modal run of our own dialogs, each behind one seam so that window tests
// see what would be opened and answer dialogs without a modal loop.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QDialog;
class QWidget;

namespace corvellin {

class ShellSeam {
public:
    virtual ~ShellSeam() = default;
    // Hands the address to the desktop's handler; returns at once. False when
    // no handler could be started.
    virtual bool open(QWidget* owner, const QUrl& url) = 0;
    // Starts a program file as its own process, without arguments; returns at
    // once. False when it could not be started.
    virtual bool startProgram(QWidget* owner, const QString& program) = 0;
};

// The seam in use: the one installed last, else QDesktopServices (xdg-open).
ShellSeam& Shell();
// Installs a seam (nullptr restores the real shell). The caller keeps ownership.
void SetShellSeam(ShellSeam* seam);
// Asks the shell to open the address; what the shell answers is returned.
bool ShellOpen(QWidget* owner, const QUrl& url);
// Opens a target that is either a program's full path (started) or an address
// (opened by its handler).
bool ShellOpenTarget(QWidget* owner, const QString& target);

// Runs a dialog modally and returns its result code (QDialog::Accepted or
// Rejected). A test installs a runner that drives the dialog and returns.
using ModalRunner = std::function<int(QDialog& dialog)>;
int RunModal(QDialog& dialog);
// Installs a runner (an empty one restores QDialog::exec).
void SetModalRunner(ModalRunner runner);

}  // namespace corvellin
