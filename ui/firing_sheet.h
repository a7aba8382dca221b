#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/graph_lite.h"

QT_BEGIN_NAMESPACE
class QPainter;
class QRectF;
QT_END_NAMESPACE

namespace thrustlet {

class cMotor;

// The design sheet's page of static firings: each firing's measured figures
// beside the prediction, its traces over the predicted ones, and every
// firing's burn-rate point with the design's law.
struct SheetFirings {
    QStringList captions;   // the figures, one a row
    QStringList predicted;  // the prediction's figure in each row
    struct Column {
        QString name;                      // the log's file name
        QStringList measured, difference;  // empty when the log could not be read
        QString problem;                   // why it could not be read
        std::optional<GraphLite::State> graph;
    };
    std::vector<Column> firings;
    std::optional<GraphLite::State> burn_rate;
};

// Reads the design's firings' logs for the page.
SheetFirings FiringsOfDesign(const cMotor& design);

// Paints the page into `page` (painter units) under the sheet's heading:
// the figures for up to four firings side by side (more are counted), the
// logs that could not be read with why, the burn-rate points, and up to four
// firings' graphs.
void PaintFiringsPage(QPainter& painter, const QRectF& page, const SheetFirings& firings, const QString& program,
                      const QString& file);

}  // namespace thrustlet
