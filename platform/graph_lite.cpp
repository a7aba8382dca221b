#include "platform/graph_lite.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <cmath>

#include "platform/locale_number.h"

namespace thrustlet {

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
        chart->addSeries(series_line_);
        chart->addAxis(y_axis_, Qt::AlignLeft);
        series_line_->attachAxis(y_axis_);
        y_axis_->setTickType(QValueAxis::TicksDynamic);
        y_axis_->setLabelFormat("%g");
        chart->setMargins(QMargins(2, 2, 2, 2));
        chart->legend()->setAlignment(Qt::AlignRight);
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

    // The label axis is made afresh: categories changed on a shown axis are
    // not laid out again.
    if (x_axis_) {
        series_line_->detachAxis(x_axis_);
        chart->removeAxis(x_axis_);
        delete x_axis_;
    }
    x_axis_ = new QCategoryAxis();
    x_axis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x_axis_->setGridLineVisible(false);
    x_axis_->setRange(0, std::max(1, columns - 1));
    const double step = label_step_ >= 1.0 ? label_step_ : 1.0;
    if (!table_.rows.empty()) {
        const auto& labels = table_.rows[0];
        for (double position = 0.0; position < columns; position += step) {
            const auto j = static_cast<size_t>(std::lround(position));
            if (j >= labels.size() || !labels[j]) continue;
            const QString label = TextOfDouble(*labels[j]);
            if (!x_axis_->categoriesLabels().contains(label)) x_axis_->append(label, static_cast<double>(j));
        }
    }
    chart->addAxis(x_axis_, Qt::AlignBottom);
    series_line_->attachAxis(x_axis_);

    y_axis_->setRange(vertical_minimum_, vertical_maximum_);
    y_axis_->setTickAnchor(vertical_minimum_);
    y_axis_->setTickInterval(vertical_step_ > 0 ? vertical_step_ : 1);
    y_axis_->setGridLineVisible(grid_lines_);
}

}  // namespace thrustlet
