#include "platform/graph_lite.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/locale_number.h"

namespace thrustlet {

namespace {
// Most ticks (and labels) an axis draws, whatever its range and step: more
// would not leave room for their labels on a graph of the designed size.
constexpr int kMostTicks = 10;
// Pixels between the plot's bottom edge and the top of a horizontal label.
constexpr int kTickRoom = 6;
}  // namespace

QColor ColourFromRgbValue(int32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

GraphLite::GraphLite(QWidget* parent) : QWidget(parent), view_(new QChartView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setRenderHint(QPainter::Antialiasing);
    QChart* initial = view_->chart();  // the view's own chart is handed back, not freed
    view_->setChart(new QChart());
    delete initial;
    view_->setFrameShape(QFrame::Box);
    // A picture, not a control: Tab passes it by (from the last field it
    // goes round to the first).
    setFocusPolicy(Qt::NoFocus);
    for (QWidget* part : findChildren<QWidget*>()) part->setFocusPolicy(Qt::NoFocus);
}

void GraphLite::SetIntegerOption1(int32_t value) {
    calls_ << "IntegerOption1";
    option1_ = value;
}
void GraphLite::SetIntegerOption2(int32_t value) {
    calls_ << "IntegerOption2";
    option2_ = value;
}
void GraphLite::SetYesNoOption1(bool value) {
    calls_ << "YesNoOption1";
    grid_lines_ = value;
}
void GraphLite::SetData(const GraphTable& table) {
    calls_ << "Data";
    table_ = table;
}
void GraphLite::SetSeriesStyle(int16_t series, int32_t colour, const QString& label) {
    calls_ << "SeriesStyle" + QString::number(series);
    series_[series] = {ColourFromRgbValue(colour), label};
}
void GraphLite::SetTitle(const QString& title) {
    calls_ << "Title";
    title_ = title;
}
void GraphLite::SetVerticalMinimum(double value) {
    calls_ << "VerticalMinimum";
    vertical_minimum_ = value;
}
void GraphLite::SetVerticalMaximum(double value) {
    calls_ << "VerticalMaximum";
    vertical_maximum_ = value;
}
void GraphLite::SetVerticalStep(int32_t value) {
    calls_ << "VerticalStep";
    vertical_step_ = value;
}
void GraphLite::SetHorizontalLabelStep(double samples) {
    calls_ << "HorizontalLabelStep";
    label_step_ = samples;
}
void GraphLite::SetColourOption(int32_t colour) {
    calls_ << "ColourOption";
    background_ = ColourFromRgbValue(colour);
}
void GraphLite::SetYesNoOption2(bool value) {
    calls_ << "YesNoOption2";
    legend_ = value;
}
void GraphLite::Redraw() {
    calls_ << "Redraw";
    ++redraws_;
    Rebuild();
}

void GraphLite::Rebuild() {
    QChart* chart = view_->chart();
    if (!series_line_) {
        // Built once; every redraw only replaces points, labels and ranges.
        series_line_ = new QLineSeries();
        y_axis_ = new QValueAxis();
        x_axis_ = new QValueAxis();
        chart->addSeries(series_line_);
        chart->addAxis(y_axis_, Qt::AlignLeft);
        chart->addAxis(x_axis_, Qt::AlignBottom);
        series_line_->attachAxis(y_axis_);
        series_line_->attachAxis(x_axis_);
        // Both axes draw tick marks only; the labels are drawn by
        // PlaceLabels, in full (the chart's own labels are cut to an equal
        // share of the axis, which elides "0.125" on a narrow graph, and
        // their room is not laid out again when the range changes).
        for (QValueAxis* axis : {x_axis_, y_axis_}) {
            axis->setTickType(QValueAxis::TicksDynamic);
            axis->setLabelsVisible(false);
        }
        x_axis_->setGridLineVisible(false);
        chart->legend()->setAlignment(Qt::AlignRight);
        connect(chart, &QChart::plotAreaChanged, this, &GraphLite::PlaceLabels);
    }
    chart->setTitle(title_);
    chart->setBackgroundBrush(background_);
    chart->legend()->setVisible(legend_);

    const auto style = series_.find(0);
    QPen pen(style != series_.end() ? style->second.colour : QColor(Qt::black));
    pen.setWidth(2 + std::max(0, option2_));
    if (option1_ != 1) pen.setStyle(Qt::NoPen);  // points only
    series_line_->setPen(pen);
    series_line_->setPointsVisible(option1_ != 1);
    series_line_->setName(style != series_.end() ? style->second.label : QString());

    QList<QPointF> points;
    const int columns = table_.Columns();
    if (table_.rows.size() > 1) {
        const auto& values = table_.rows[1];
        for (int j = 0; j < columns && j < static_cast<int>(values.size()); ++j) {
            if (values[static_cast<size_t>(j)]) points.append(QPointF(j, *values[static_cast<size_t>(j)]));
        }
    }
    drawn_points_ = static_cast<int>(points.size());
    series_line_->replace(points);

    const int last = std::max(1, columns - 1);
    const double step = label_step_ >= 1.0 ? label_step_ : 1.0;
    SetBoundedTicks(x_axis_, 0, last, step, 0);
    x_labels_.texts.clear();
    x_labels_.values.clear();
    if (!table_.rows.empty()) {
        const auto& labels = table_.rows[0];
        for (double position = 0.0; position < columns && x_labels_.texts.size() <= kMostTicks;
             position += step) {
            const auto j = static_cast<size_t>(std::lround(position));
            if (j >= labels.size() || !labels[j]) continue;
            const QString label = TextOfDouble(*labels[j]);
            if (x_labels_.texts.contains(label)) continue;
            x_labels_.texts.append(label);
            x_labels_.values.push_back(static_cast<double>(j));
        }
    }

    // The tick step first, then the range: a tiny step over a huge range
    // would otherwise lay out millions of ticks. The ticks drawn are bounded
    // whatever the range.
    SetBoundedTicks(y_axis_, vertical_minimum_, vertical_maximum_, vertical_step_ > 0 ? vertical_step_ : 1,
                    vertical_minimum_);
    y_axis_->setGridLineVisible(grid_lines_);
    y_labels_.texts.clear();
    y_labels_.values.clear();
    const double interval = y_axis_->tickInterval();
    for (int k = 0; k <= kMostTicks; ++k) {
        const double value = vertical_minimum_ + k * interval;
        if (value > vertical_maximum_ + interval * 1e-9) break;
        y_labels_.texts.append(TextOfDouble(value));
        y_labels_.values.push_back(value);
    }

    // Room left of and under the plot for the labels.
    const QFontMetrics metrics(LabelFont());
    int widest = 0;
    for (const QString& text : y_labels_.texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    chart->setMargins(QMargins(2 + widest + kTickRoom, 2, 2, 2 + metrics.height() + kTickRoom));
    PlaceLabels();
}

QFont GraphLite::LabelFont() const { return y_axis_->labelsFont(); }

// Sets an axis's range and tick step so that it never has more than
// kMostTicks ticks, also between the two settings: the step is widened for
// the old range first, then the range changes, then the step is set. `step`
// is above zero.
void GraphLite::SetBoundedTicks(QValueAxis* axis, double minimum, double maximum, double step,
                                double anchor) {
    // A whole multiple of the given step, so the ticks keep its round values.
    const double span = std::max(maximum - minimum, 0.0);
    const double wanted = step * std::max(1.0, std::ceil(span / (kMostTicks * step)));
    axis->setTickInterval(std::max(wanted, (axis->max() - axis->min()) / kMostTicks));
    axis->setTickAnchor(anchor);
    axis->setRange(minimum, maximum);
    axis->setTickInterval(wanted);
}

std::vector<GraphLite::DrawnLabel> GraphLite::DrawnLabels(Qt::Orientation axis) const {
    std::vector<DrawnLabel> drawn;
    for (const QGraphicsSimpleTextItem* item : (axis == Qt::Horizontal ? x_labels_ : y_labels_).items) {
        drawn.push_back({item->text(), item->mapRectToScene(item->boundingRect())});
    }
    return drawn;
}

double GraphLite::DrawnVerticalInterval() const { return y_axis_ ? y_axis_->tickInterval() : 0.0; }

// Makes one text item per label, as children of the chart.
void GraphLite::AxisLabels::Fit(QChart* chart) {
    while (items.size() > static_cast<size_t>(texts.size())) {
        delete items.back();
        items.pop_back();
    }
    while (items.size() < static_cast<size_t>(texts.size())) {
        auto* item = new QGraphicsSimpleTextItem(chart);
        item->setZValue(10);
        items.push_back(item);
    }
    for (size_t i = 0; i < items.size(); ++i) items[i]->setText(texts[static_cast<qsizetype>(i)]);
}

// Puts the labels beside their ticks: the horizontal ones centred under
// them and kept inside the chart, shrunk only if together they would not fit
// side by side; the vertical ones right-aligned left of the plot.
void GraphLite::PlaceLabels() {
    if (!series_line_) return;
    QChart* chart = view_->chart();
    x_labels_.Fit(chart);
    y_labels_.Fit(chart);
    const QRectF plot = chart->plotArea();
    const QRectF bounds = chart->rect();
    const QBrush brush = y_axis_->labelsBrush();

    QFont font = LabelFont();
    const double span = std::max(1.0, x_axis_->max() - x_axis_->min());
    const double room = x_labels_.values.size() > 1
                            ? plot.width() * (x_labels_.values[1] - x_labels_.values[0]) / span
                            : plot.width();
    for (int pixels = QFontInfo(font).pixelSize(); pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        double widest = 0;
        for (const QString& text : x_labels_.texts) widest = std::max(widest, metrics.horizontalAdvance(text));
        if (widest + 4 <= room) break;
    }
    const QFontMetricsF x_metrics(font);
    for (size_t i = 0; i < x_labels_.items.size(); ++i) {
        QGraphicsSimpleTextItem* item = x_labels_.items[i];
        item->setFont(font);
        item->setBrush(brush);
        const double x = chart->mapToPosition(QPointF(x_labels_.values[i], y_axis_->min()), series_line_).x();
        const double width = x_metrics.horizontalAdvance(item->text());
        item->setPos(std::clamp(x - width / 2, bounds.left(), bounds.right() - width), plot.bottom() + kTickRoom);
    }

    const QFontMetricsF y_metrics(LabelFont());
    for (size_t i = 0; i < y_labels_.items.size(); ++i) {
        QGraphicsSimpleTextItem* item = y_labels_.items[i];
        item->setFont(LabelFont());
        item->setBrush(brush);
        const double y = chart->mapToPosition(QPointF(x_axis_->min(), y_labels_.values[i]), series_line_).y();
        const double width = y_metrics.horizontalAdvance(item->text());
        item->setPos(plot.left() - kTickRoom - width, y - y_metrics.height() / 2);
    }
}

}  // namespace thrustlet
