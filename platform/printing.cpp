#include "platform/printing.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace thrustlet {

bool QtPrinting::Print(const QString& document_name, const PagePainter& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document_name);
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    return PaintOn(printer, paint);
}

bool QtPrinting::HasPrinter() const { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

bool QtPrinting::PaintOn(QPrinter& printer, const PagePainter& paint) {
    // A printer without margins of its own (printing to a PDF file) gets the
    // margins of a printed page.
    if (printer.pageLayout().margins(QPageLayout::Millimeter).isNull()) {
        printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The painter's origin is the printable area's corner.
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    paint(painter, QRectF(0, 0, area.width(), area.height()));
    return painter.end();
}

}  // namespace thrustlet
