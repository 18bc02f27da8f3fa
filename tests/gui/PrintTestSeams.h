// The print seam of the printing tests: the print and page setup dialogs
// answer from the test, and the print layout dialog is driven by a function of
// the test instead of a modal loop. (Message boxes: RecordingSeam.h.)
#pragma once

#include <QDialog>
#include <QPrinter>
#include <functional>
#include <vector>

#include "output/PrintDevice.h"
#include "platform/qt/Dialogs.h"

namespace corvellin::test {

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
