// The boundary of every command of the main window: a command that arrives
// while a render or replay runs is held off, and an error that ends it is shown
// in a box titled "Error" with its text. No exception leaves a Qt handler.
#pragma once

#include <QObject>
#include <QString>
#include <exception>

#include "platform/qt/Dialogs.h"

namespace corvellin {

template <class Body>
void RunCommand(QWidget* owner, bool busy, Body&& body) {
    if (busy) return;
    try {
        body();
    } catch (const std::exception& error) {
        ShowErrorBox(owner, QString::fromStdString(error.what()));
    } catch (...) {
        ShowErrorBox(owner, QObject::tr("An unexpected error ended the command."));
    }
}

}  // namespace corvellin
