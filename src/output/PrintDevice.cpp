#include "PrintDevice.h"

#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <memory>

#include "picture/Error.h"
#include "platform/qt/PictureImage.h"

namespace corvellin {

namespace {

PrintDialogSeam& RealSeam() {
    static PrintDialogSeam seam;
    return seam;
}

PrintDialogSeam* installed = nullptr;
std::unique_ptr<QPrinter> current;

}  // namespace

QStringList PrintDialogSeam::installedPrinters() { return QPrinterInfo::availablePrinterNames(); }

bool PrintDialogSeam::printDialog(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
    return dialog.exec() == QDialog::Accepted;
}

bool PrintDialogSeam::pageSetupDialog(QWidget* owner, QPrinter& printer) {
    QPageSetupDialog dialog(&printer, owner);
    // Margins are not ours to choose: the platform's minimum margins apply.
    for (QWidget* child : dialog.findChildren<QWidget*>())
        if (child->objectName().contains("Margin", Qt::CaseInsensitive)) child->setEnabled(false);
    return dialog.exec() == QDialog::Accepted;
}

void PrintDialogSeam::showModal(QDialog& dialog) { dialog.exec(); }

PrintDialogSeam& PrintDialogs() { return installed ? *installed : RealSeam(); }

void SetPrintDialogSeam(PrintDialogSeam* seam) { installed = seam; }

double ScreenPPI() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double ppi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return ppi >= 1 ? ppi : 96.0;
}

QPrinter& CurrentPrinter() {
    if (!current) current = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *current;
}

void ResetCurrentPrinter() { current.reset(); }

bool AnyPrinterInstalled() { return !PrintDialogs().installedPrinters().isEmpty(); }

void RequirePrinter() {
    if (!AnyPrinterInstalled()) throw Error(kNoPrinterText);
}

PrinterMetrics CurrentPrinterMetrics() {
    QPrinter& printer = CurrentPrinter();
    PrinterMetrics metrics;
    metrics.dpiX = printer.logicalDpiX();
    metrics.dpiY = printer.logicalDpiY();
    metrics.printableWidth = printer.width();
    metrics.printableHeight = printer.height();
    if (metrics.dpiX < 1 || metrics.dpiY < 1 || metrics.printableWidth < 1 || metrics.printableHeight < 1)
        throw Error(kNoPrintableAreaText);
    return metrics;
}

bool RunPrintDialog(QWidget* owner) { return PrintDialogs().printDialog(owner, CurrentPrinter()); }

std::optional<PixelSize> RunPageSetupDialog(QWidget* owner) {
    QPrinter& printer = CurrentPrinter();
    if (!PrintDialogs().pageSetupDialog(owner, printer)) return std::nullopt;
    // The whole sheet, in the orientation chosen, in thousandths of an inch.
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Inch);
    return PixelSize{RoundHalfEven(paper.width() * 1000.0), RoundHalfEven(paper.height() * 1000.0)};
}

void PrintOnePage(const Picture& picture, const PixelRect& rectangle) {
    QPrinter& printer = CurrentPrinter();
    printer.setDocName(kPrintJobName);
    const QImage image = PictureToImage(picture);
    QPainter painter;
    if (!painter.begin(&printer)) throw Error(kPrintFailedText);
    // Colour on colour: rows and columns are dropped or repeated, never averaged.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (!image.isNull())
        painter.drawImage(QRect(rectangle.left, rectangle.top, rectangle.width, rectangle.height), image);
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        throw Error(kPrintFailedText);
}

}  // namespace corvellin
