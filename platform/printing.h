#pragma once

#include <QRectF>
#include <QString>
#include <functional>
#include <vector>

QT_BEGIN_NAMESPACE
class QPainter;
class QPrinter;
class QWidget;
QT_END_NAMESPACE

namespace thrustlet {

// What paints one page: the painter and the page's printable rectangle in
// the painter's units.
using PagePainter = std::function<void(QPainter& painter, const QRectF& page)>;

// Printing a document of a few pages: the system's print dialog, then the
// pages in order.
// Tests answer it with a stand-in that paints into a picture of their own.
class IPrinting {
public:
    virtual ~IPrinting() = default;
    // False when the user cancelled or the printer could not be started.
    virtual bool Print(const QString& document_name, const std::vector<PagePainter>& pages) = 0;
    // Whether the system has a printer to print on at all.
    virtual bool HasPrinter() const { return true; }
};

// The real one: QPrintDialog, modal over `parent`.
class QtPrinting : public IPrinting {
public:
    explicit QtPrinting(QWidget* parent = nullptr) : parent_(parent) {}
    bool Print(const QString& document_name, const std::vector<PagePainter>& pages) override;
    bool HasPrinter() const override;
    // The pages painted on a printer that is set up (the dialog's part done).
    static bool PaintOn(QPrinter& printer, const std::vector<PagePainter>& pages);

private:
    QWidget* parent_;
};

}  // namespace thrustlet
