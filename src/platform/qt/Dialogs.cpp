#include "Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace corvellin {

namespace {

// The picture preview pane beside the file list of both picture dialogs.
class PicturePreviewPane : public QLabel {
public:
    explicit PicturePreviewPane(QWidget* parent) : QLabel(parent) {
        setObjectName("PicturePreview");
        setFixedSize(220, 220);
        setAlignment(Qt::AlignCenter);
        setFrameShape(QFrame::StyledPanel);
        setText(QObject::tr("No preview"));
    }

    void showFile(const QString& path) {
        QImageReader reader(path);
        reader.setAutoTransform(false);
        const QSize size = reader.size();
        if (!size.isValid() || size.isEmpty()) {
            setPixmap(QPixmap());
            setText(QObject::tr("No preview"));
            return;
        }
        reader.setScaledSize(size.scaled(width() - 8, height() - 8, Qt::KeepAspectRatio));
        const QImage image = reader.read();
        if (image.isNull()) {
            setPixmap(QPixmap());
            setText(QObject::tr("No preview"));
            return;
        }
        setPixmap(QPixmap::fromImage(image));
    }
};

QString FilterText(const FileFilter& filter) {
    // The description is shown; the patterns in the last parentheses are what
    // the dialog matches (their text is hidden by HideNameFilterDetails).
    return filter.description + " (" + filter.patterns.join(' ') + ")";
}

class QtDialogSeam : public DialogSeam {
public:
    void messageBox(QWidget* owner, MessageKind kind, const QString& title, const QString& text) override {
        QString shown = text;
        shown.replace("\r\n", "\n").replace('\r', '\n');
        QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information, title, shown,
                        QMessageBox::Ok, owner);
        box.exec();
    }

    std::optional<FileDialogAnswer> fileDialog(QWidget* owner, const FileDialogRequest& request) override {
        QFileDialog dialog(owner, request.title);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // Open does not insist on an existing file: the loader reports a missing one.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setSizeGripEnabled(true);
        QStringList texts;
        for (const FileFilter& f : request.filters) texts << FilterText(f);
        dialog.setNameFilters(texts);
        const int entry = std::clamp(request.filterEntry, 1, static_cast<int>(std::max<qsizetype>(1, texts.size())));
        if (!texts.isEmpty()) dialog.selectNameFilter(texts[entry - 1]);
        if (request.save) dialog.setDefaultSuffix(request.defaultExtension);
        if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);

        auto* preview = new PicturePreviewPane(&dialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
        QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &PicturePreviewPane::showFile);
        // The name chosen last time is already selected: preview it straight away.
        if (!request.fileName.isEmpty()) preview->showFile(request.fileName);
        // The dialog names a filter by its full text or, with the details hidden,
        // by its description alone.
        auto entryOf = [&](const QString& text) {
            for (qsizetype i = 0; i < texts.size(); ++i)
                if (text == texts[i] || text == request.filters[i].description) return static_cast<int>(i) + 1;
            return 0;
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& text) {
            const int chosen = entryOf(text);
            if (chosen > 0 && request.filterChanged) dialog.setDefaultSuffix(request.filterChanged(chosen));
        });
        dialog.resize(860, 500);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        FileDialogAnswer answer;
        answer.path = dialog.selectedFiles().first();
        answer.filterEntry = std::max(1, entryOf(dialog.selectedNameFilter()));
        return answer;
    }

    std::optional<std::uint32_t> chooseColour(QWidget* owner, std::uint32_t initial) override {
        const QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                           static_cast<int>((initial >> 16) & 0xFF));
        const QColor chosen = QColorDialog::getColor(start, owner, QObject::tr("Color"));
        if (!chosen.isValid()) return std::nullopt;
        return static_cast<std::uint32_t>(chosen.red()) | (static_cast<std::uint32_t>(chosen.green()) << 8) |
               (static_cast<std::uint32_t>(chosen.blue()) << 16);
    }
};

QtDialogSeam& RealSeam() {
    static QtDialogSeam seam;
    return seam;
}

DialogSeam* installed = nullptr;

}  // namespace

bool DialogSeam::questionBox(QWidget* owner, const QString& title, const QString& text) {
    QString shown = text;
    shown.replace("\r\n", "\n").replace('\r', '\n');
    QMessageBox box(QMessageBox::NoIcon, title, shown, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

SaveChangesAnswer DialogSeam::saveChangesBox(QWidget* owner, const QString& title, const QString& text,
                                             const SaveChangesButtons& buttons) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    owner);
    box.button(QMessageBox::Save)->setText(buttons.save);
    box.button(QMessageBox::Discard)->setText(buttons.dontSave);
    box.button(QMessageBox::Cancel)->setText(buttons.cancel);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save: return SaveChangesAnswer::Save;
        case QMessageBox::Discard: return SaveChangesAnswer::DontSave;
        default: return SaveChangesAnswer::Cancel;
    }
}

DialogSeam& Dialogs() { return installed ? *installed : RealSeam(); }

void SetDialogSeam(DialogSeam* seam) { installed = seam; }

void ShowErrorBox(QWidget* owner, const QString& text) {
    Dialogs().messageBox(owner, MessageKind::Error, kErrorTitle, text);
}

void ShowInfoBox(QWidget* owner, const QString& text) {
    Dialogs().messageBox(owner, MessageKind::Information, kInformationTitle, text);
}

bool AskYesNo(QWidget* owner, const QString& title, const QString& text) {
    return Dialogs().questionBox(owner, title, text);
}

SaveChangesAnswer AskSaveChanges(QWidget* owner, const QString& title, const QString& text,
                                 const SaveChangesButtons& buttons) {
    return Dialogs().saveChangesBox(owner, title, text, buttons);
}

}  // namespace corvellin
