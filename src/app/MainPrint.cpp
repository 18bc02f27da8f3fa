// The main window's printing commands: Paper Settings, Print Preview (the
// print layout dialog) and Print, and the print job both ways of printing end in.
#include <QString>
#include <exception>

#include "CommandBoundary.h"
#include "MainForm.h"
#include "output/PrintDevice.h"
#include "output/PrintPreviewForm.h"
#include "platform/qt/Dialogs.h"

namespace corvellin {

void TMainForm::MenuPaperSettingClick() {
    RunCommand(this, Busy(), [&] {
        RequirePrinter();
        // The choice only changes the current printer's paper.
        RunPageSetupDialog(this);
    });
}

void TMainForm::MenuPrintPreviewClick() {
    RunCommand(this, Busy(), [&] {
        // The layout arithmetic needs a picture of at least one pixel.
        if (FullSizePicture.empty() || WorkingPicture().empty()) {
            ShowInfoBox(this, Caption(kNothingToPrintText));
            return;
        }
        RequirePrinter();
        TPrintPreviewForm dialog(LanguageIndex, LanguageFilePath(LanguageIndex), this);
        dialog.SetPreviewPicture(WorkingPicture());
        dialog.PrintLayout = PrintLayout;
        dialog.ImageWidthPx = FullSizePicture.width();
        dialog.ImageHeightPx = FullSizePicture.height();
        dialog.ScreenPpi = ScreenPPI();
        const PrinterMetrics printer = CurrentPrinterMetrics();
        const PixelSize page = PageFromPrinter(printer.printableWidth, printer.printableHeight, printer.dpiX,
                                               printer.dpiY, dialog.ScreenPpi);
        dialog.PageWidthPx = std::max(1, page.width);
        dialog.PageHeightPx = std::max(1, page.height);
        auto* bar = new ProgressBar;
        dialog.SetProgressBar(bar);
        dialog.PrintPicture = [this, bar](const PixelRect& rectangle) { PrintPicture(rectangle, bar); };
        PrintDialogs().showModal(dialog);
        if (dialog.Confirmed) PrintLayout = dialog.PrintLayout;
    });
}

void TMainForm::MenuPrintClick() {
    RunCommand(this, Busy(), [&] {
        if (FullSizePicture.empty()) {
            ShowInfoBox(this, Caption(kNothingToPrintText));
            return;
        }
        RequirePrinter();
        if (!RunPrintDialog(this)) return;
        const PrinterMetrics printer = CurrentPrinterMetrics();
        const PixelRect rectangle =
            PrintRectFromSettings(PrintLayout, printer.printableWidth, printer.printableHeight, printer.dpiX,
                                  printer.dpiY, FullSizePicture.width(), FullSizePicture.height(), ScreenPPI());
        PrintPicture(rectangle, suiProgressBar1);
    });
}

void TMainForm::PrintPicture(const PixelRect& rectangle, ProgressBar* bar) {
    // Only the committed history: an effect under preview is not printed.
    const Picture output = ReplayHistory(bar, false);
    PrintOnePage(output, rectangle);
}

}  // namespace corvellin
