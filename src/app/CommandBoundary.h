// The boundary of every command of the main window: a command that arrives
// while a render or replay runs is held off, and an error that ends it is shown
// in a box titled "Error" with its text, in the window's language when the text
// is one of the window's caption keys. No exception leaves a Qt handler.
#pragma once

#include <QObject>
#include <QString>
#include <exception>

#include "platform/qt/Dialogs.h"
#include "settings/CaptionCatalog.h"

namespace corvellin {

// A window whose texts follow its language: Caption gives a key's text in the
// current language, and any text that is not a key as it is.
class CaptionSource {
public:
    virtual QString Caption(const char* key) const = 0;

protected:
    ~CaptionSource() = default;
};

template <class Body>
void RunCommand(QWidget* owner, bool busy, Body&& body) {
    if (busy) return;
    const auto* captions = dynamic_cast<const CaptionSource*>(owner);
    auto shown = [captions](const char* text) { return captions ? captions->Caption(text) : QString::fromUtf8(text); };
    try {
        body();
    } catch (const std::exception& error) {
        ShowErrorBox(owner, shown(error.what()));
    } catch (...) {
        ShowErrorBox(owner, shown(kUnexpectedErrorText));
    }
}

}  // namespace corvellin
