#include "platform/printing.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace thrustlet {

bool QtPrinting::Print(const QString& document_name, const std::vector<PagePainter>& pages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document_name);
    QPrintDialog dialog(&printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    return PaintOn(printer, pages);
}

bool QtPrinting::HasPrinter() const { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

bool QtPrinting::PaintOn(QPrinter& printer, const std::vector<PagePainter>& pages) {
    // A printer without margins of its own (printing to a PDF file) gets the
    // margins of a printed page.
    if (printer.pageLayout().margins(QPageLayout::Millimeter).isNull()) {
        printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The painter's origin is the printable area's corner.
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (k > 0 && !printer.newPage()) return false;
        pages[k](painter, QRectF(0, 0, area.width(), area.height()));
    }
    return painter.end();
}

}  // namespace thrustlet
