// The shell seam of the window tests: every address handed to the desktop and
// every program started is kept, and each counts as done.
#pragma once

#include <QString>
#include <QUrl>
#include <vector>

#include "platform/qt/Shell.h"

namespace corvellin::test {

class RecordingShell : public ShellSeam {
public:
    std::vector<QUrl> opened;
    std::vector<QString> started;
    bool open(QWidget*, const QUrl& url) override {
        opened.push_back(url);
        return true;
    }
    bool startProgram(QWidget*, const QString& program) override {
        started.push_back(program);
        return true;
    }
};

}  // namespace corvellin::test
