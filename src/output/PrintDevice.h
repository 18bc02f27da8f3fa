// The printing layer: the current printer of the run (what every print and
// page setup dialog changes and every later query and job uses), the list of
// installed printers, the print and page setup dialogs behind a seam, the
// screen's logical resolution, and the one-page print job.
#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

#include "output/PrintLayout.h"
#include "picture/Picture.h"
#include "settings/CaptionCatalog.h"

class QDialog;
class QPrinter;
class QWidget;

namespace corvellin {

inline constexpr const char* kPrintJobName = "Corvellin";

// The platform's printing dialogs. The program uses the real Qt dialogs;
// tests install their own seam and answer without a modal loop.
class PrintDialogSeam {
public:
    virtual ~PrintDialogSeam() = default;
    // The names of the installed printers.
    virtual QStringList installedPrinters();
    // Modal print dialog on the printer; true when the user confirms. The
    // printer and settings chosen become the printer's.
    virtual bool printDialog(QWidget* owner, QPrinter& printer);
    // Modal page setup dialog on the printer (margins not offered); true when
    // the user confirms, the paper chosen then being the printer's.
    virtual bool pageSetupDialog(QWidget* owner, QPrinter& printer);
    // Shows a dialog of the printing commands (the print layout dialog) modally.
    virtual void showModal(QDialog& dialog);
};

PrintDialogSeam& PrintDialogs();
// Installs a seam (nullptr restores the real dialogs). The caller keeps ownership.
void SetPrintDialogSeam(PrintDialogSeam* seam);

// What the print arithmetic needs of the current printer, in device pixels
// of its printable area and dots per inch.
struct PrinterMetrics {
    double dpiX = 0;
    double dpiY = 0;
    std::int32_t printableWidth = 0;
    std::int32_t printableHeight = 0;
};

// The screen's logical vertical resolution in pixels per inch (96 at the normal size).
double ScreenPPI();

// The current printer of the run.
QPrinter& CurrentPrinter();
// Forgets the current printer (its next use makes a new one with the default printer).
void ResetCurrentPrinter();

bool AnyPrinterInstalled();
// Throws Error(kNoPrinterText) when no printer is installed.
void RequirePrinter();
PrinterMetrics CurrentPrinterMetrics();
// Print dialog on the current printer; false when cancelled.
bool RunPrintDialog(QWidget* owner);
// Page setup on the current printer; the full paper's width and height in
// thousandths of an inch (in the orientation chosen) when confirmed.
std::optional<PixelSize> RunPageSetupDialog(QWidget* owner);
// One page in a job named "Corvellin": the whole picture stretched into the
// device rectangle without smoothing. Throws Error when the printer refuses.
void PrintOnePage(const Picture& picture, const PixelRect& rectangle);

}  // namespace corvellin
