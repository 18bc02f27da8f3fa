// Seams for the printing tests: message boxes are recorded, the print and page
// setup dialogs answer from the test, and the print layout dialog is driven by
// a function of the test instead of a modal loop.
#pragma once

#include <QDialog>
#include <QPrinter>
#include <functional>
#include <vector>

#include "output/PrintDevice.h"
#include "platform/qt/Dialogs.h"

namespace corvellin::test {

class BoxRecorder : public DialogSeam {
public:
    struct Box {
        MessageKind kind;
        QString title;
        QString text;
    };
    std::vector<Box> boxes;
    void messageBox(QWidget*, MessageKind kind, const QString& title, const QString& text) override {
        boxes.push_back({kind, title, text});
    }
    std::optional<FileDialogAnswer> fileDialog(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::uint32_t> chooseColour(QWidget*, std::uint32_t) override { return std::nullopt; }
    QStringList texts() const {
        QStringList all;
        for (const Box& b : boxes) all << b.text;
        return all;
    }
};

class PrintAnswers : public PrintDialogSeam {
public:
    QStringList printers;  // the installed printers the platform reports
    bool confirmPrint = true;
    std::function<void(QPrinter&)> onPrintDialog;      // what the user chooses there
    std::function<bool(QPrinter&)> onPageSetupDialog;  // empty: cancel
    std::function<void(QDialog&)> onLayoutDialog;      // the user's work in the layout dialog
    int printDialogs = 0;
    int pageSetups = 0;
    int layoutDialogs = 0;

    QStringList installedPrinters() override { return printers; }
    bool printDialog(QWidget*, QPrinter& printer) override {
        ++printDialogs;
        if (confirmPrint && onPrintDialog) onPrintDialog(printer);
        return confirmPrint;
    }
    bool pageSetupDialog(QWidget*, QPrinter& printer) override {
        ++pageSetups;
        return onPageSetupDialog ? onPageSetupDialog(printer) : false;
    }
    void showModal(QDialog& dialog) override {
        ++layoutDialogs;
        dialog.show();  // runs FormShow
        if (onLayoutDialog) onLayoutDialog(dialog);
        dialog.hide();
    }
};

}  // namespace corvellin::test
