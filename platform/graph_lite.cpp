#include "platform/graph_lite.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QScatterSeries>
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
    auto* chart = new QChart();
    chart->setTitle(title_);
    chart->setBackgroundBrush(background_);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->legend()->setVisible(legend_);
    chart->legend()->setAlignment(Qt::AlignRight);

    QXYSeries* series = option1_ == 1 ? static_cast<QXYSeries*>(new QLineSeries())
                                      : static_cast<QXYSeries*>(new QScatterSeries());
    const auto style = series_.find(0);
    if (style != series_.end()) {
        series->setName(style->second.label);
        QPen pen(style->second.colour);
        pen.setWidth(2 + std::max(0, option2_));
        series->setPen(pen);
        series->setColor(style->second.colour);
    }
    drawn_points_ = 0;
    const int columns = table_.Columns();
    if (table_.rows.size() > 1) {
        const auto& values = table_.rows[1];
        for (int j = 0; j < columns && j < static_cast<int>(values.size()); ++j) {
            if (!values[static_cast<size_t>(j)]) continue;
            series->append(j, *values[static_cast<size_t>(j)]);
            ++drawn_points_;
        }
    }
    chart->addSeries(series);

    auto* x_axis = new QCategoryAxis();
    x_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x_axis->setRange(0, std::max(1, columns - 1));
    x_axis->setGridLineVisible(false);
    const double step = label_step_ >= 1.0 ? label_step_ : 1.0;
    if (!table_.rows.empty()) {
        const auto& labels = table_.rows[0];
        for (double position = 0.0; position < columns; position += step) {
            const auto j = static_cast<size_t>(std::lround(position));
            if (j >= labels.size() || !labels[j]) continue;
            const QString label = TextOfDouble(*labels[j]);
            if (!x_axis->categoriesLabels().contains(label)) x_axis->append(label, static_cast<double>(j));
        }
    }
    chart->addAxis(x_axis, Qt::AlignBottom);
    series->attachAxis(x_axis);

    auto* y_axis = new QValueAxis();
    y_axis->setRange(vertical_minimum_, vertical_maximum_);
    y_axis->setTickType(QValueAxis::TicksDynamic);
    y_axis->setTickAnchor(vertical_minimum_);
    y_axis->setTickInterval(vertical_step_ > 0 ? vertical_step_ : 1);
    y_axis->setLabelFormat("%g");
    y_axis->setGridLineVisible(grid_lines_);
    chart->addAxis(y_axis, Qt::AlignLeft);
    series->attachAxis(y_axis);

    QChart* old = view_->chart();
    view_->setChart(chart);
    delete old;
}

}  // namespace thrustlet
