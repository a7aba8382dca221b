#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/graph_lite.h"
#include "ui/firing_sheet.h"

QT_BEGIN_NAMESPACE
class QPainter;
class QRectF;
class QWidget;
QT_END_NAMESPACE

namespace thrustlet {

class Document;
class cMotor;
class IDialogs;
class IPrinting;
class KnSummary;
class MotorComparison;
class MotorPerformance;

// Everything the design sheet shows (a page, and one more for the static
// firings when the design lists any), as text (the figures as the
// window shows them) and graph settings.
struct SheetContent {
    QString program;  // "Thrustlet 1.1.8"
    QString file;     // the design's file, or a note that it is not saved
    QString date;     // the day the sheet was made, ISO form
    QString length_unit;  // "mm", "in" or "" (unknown)
    std::vector<std::array<QString, 3>> grains;  // length, diameter, core
    // Each grain's mass, port-to-throat ratio, peak mass flux and neutral
    // length, as the grains panel shows them (empty without the panel).
    std::vector<std::array<QString, 4>> grain_figures;
    QString flux_unit;  // of the peak mass flux column
    QString limits;     // the limits the design is held to
    std::vector<QString> alerts;
    QString throat, exit;
    std::vector<std::pair<QString, QString>> summary;      // caption, figure
    QString propellant;  // name and where its values come from; "" without one
    // The propellant's values, the nozzle and the hardware (caption, value).
    std::vector<std::pair<QString, QString>> design_block;
    std::vector<std::pair<QString, QString>> performance;  // caption, figure
    QString performance_note;
    std::optional<GraphLite::State> kn_graph;      // with the pressure curve when there is one
    std::optional<GraphLite::State> thrust_graph;  // with thrust figures
    std::optional<SheetFirings> firings;  // a page of its own, when the design lists firings
    // The motors compared with the design (a page of their own): their key
    // figures beside the design's, and the views with their curves over it.
    struct Comparison {
        QStringList headings, units;
        std::vector<QStringList> rows;
        std::optional<GraphLite::State> pressure_graph, thrust_graph;
    };
    std::optional<Comparison> comparison;
};

// The page of the motors compared, under the sheet's heading.
void PaintComparisonPage(QPainter& painter, const QRectF& page, const SheetContent& content);

// Paints the sheet into `page` (painter units; fonts in points follow the
// painter's device), everything in vector form.
void PaintSheet(QPainter& painter, const QRectF& page, const SheetContent& content);

// File > Export Sheet (a PDF) and File > Print: the same sheet.
class DesignSheet {
public:
    DesignSheet(Document& document, IDialogs& dialogs, KnSummary& summary, MotorPerformance& performance,
                QWidget* window);
    ~DesignSheet();

    // The printer the Print item uses (a scripted one in tests).
    void SetPrinting(std::unique_ptr<IPrinting> printing);
    // The motors compared with the design, which the sheet lists.
    void Attach(const MotorComparison& comparison) { comparison_ = &comparison; }

    void mnuExportSheet_Click();
    void mnuPrint_Click();

    // The sheet of the design as the window shows it now.
    SheetContent Content() const;
    // The sheet as a PDF, A4 or US Letter by the user's locale.
    static QByteArray Pdf(const SheetContent& content);

private:
    SheetContent::Comparison ComparisonOf(cMotor& motor) const;

    Document& document_;
    IDialogs& dialogs_;
    KnSummary& summary_;
    MotorPerformance& performance_;
    std::unique_ptr<IPrinting> printing_;
    const MotorComparison* comparison_ = nullptr;
};

}  // namespace thrustlet
