// The one seam through which every window shows message boxes, file dialogs
// and the colour dialog. The program uses the real Qt dialogs; tests install
// their own seam and read the exact titles and texts without a modal loop.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace corvellin {

enum class MessageKind { Error, Information };

inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kInformationTitle = "Information";

struct FileFilter {
    QString description;  // the text the user reads, e.g. "Bitmaps (*.bmp)"
    QStringList patterns;  // what the dialog matches, e.g. {"*.bmp", "*.BMP"}
};

struct FileDialogRequest {
    bool save = false;
    QString title;
    QList<FileFilter> filters;
    int filterEntry = 1;       // the selected filter, 1-based
    QString fileName;          // the name chosen last time, empty at first use
    QString defaultExtension;  // save: appended to a name typed without one
    // save: called when the user picks another filter entry (1-based); returns
    // the default extension for the name the dialog is about to return.
    std::function<QString(int entry)> filterChanged;
};

// The answer to the question whether to save unsaved work first.
enum class SaveChangesAnswer { Save, DontSave, Cancel };

// The captions of the question's three standard buttons, in the window's language.
struct SaveChangesButtons {
    QString save;
    QString dontSave;
    QString cancel;
};

struct FileDialogAnswer {
    QString path;
    int filterEntry = 1;
};

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    // Modal box with an icon by kind and an OK button; returns when closed.
    virtual void messageBox(QWidget* owner, MessageKind kind, const QString& title, const QString& text) = 0;
    // Modal file dialog; empty when the user cancels.
    virtual std::optional<FileDialogAnswer> fileDialog(QWidget* owner, const FileDialogRequest& request) = 0;
    // Modal colour dialog; colours are 0x00BBGGRR. Empty when the user cancels.
    virtual std::optional<std::uint32_t> chooseColour(QWidget* owner, std::uint32_t initial) = 0;
    // Modal box without an icon, with Yes and No buttons; true for Yes. The
    // base class shows the real box.
    virtual bool questionBox(QWidget* owner, const QString& title, const QString& text);
    // Modal box with the warning icon and the standard Save, Don't Save and
    // Cancel buttons (Save the default, Escape cancels). The base class shows
    // the real box.
    virtual SaveChangesAnswer saveChangesBox(QWidget* owner, const QString& title, const QString& text,
                                             const SaveChangesButtons& buttons);
};

// The seam in use: the one installed last, else the real dialogs.
DialogSeam& Dialogs();
// Installs a seam (nullptr restores the real dialogs). The caller keeps ownership.
void SetDialogSeam(DialogSeam* seam);

// Modal box titled "Error" with the error icon and an OK button.
void ShowErrorBox(QWidget* owner, const QString& text);
// Modal box titled "Information" with the information icon and an OK button.
void ShowInfoBox(QWidget* owner, const QString& text);
// Modal box without an icon, with Yes and No buttons; true when Yes is chosen.
bool AskYesNo(QWidget* owner, const QString& title, const QString& text);
// The question whether to save unsaved work first, through the seam.
SaveChangesAnswer AskSaveChanges(QWidget* owner, const QString& title, const QString& text,
                                 const SaveChangesButtons& buttons);

}  // namespace corvellin
