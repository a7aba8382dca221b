#include "platform/graph_lite.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "model/numeric.h"
#include "platform/locale_number.h"

namespace thrustlet {

namespace {
// Most ticks (and labels) an axis draws, whatever its range and step: more
// would not leave room for their labels on a graph of the designed size.
constexpr int kMostTicks = 10;
// Pixels between an axis and its labels; tick marks are drawn in this room.
constexpr double kTickRoom = 6.0;
constexpr double kTickLength = 4.0;
// Room between the panel's edge and what is drawn on it.
constexpr double kPad = 8.0;
constexpr double kLegendMarker = 9.0;
// Labels are never drawn smaller than this many pixels (the window's dialog
// font may be smaller), the title two pixels larger.
constexpr int kLabelPixels = 12;
// The smallest pixel size horizontal labels shrink to before some are left out.
constexpr int kSmallestLabelPixels = 7;

const QColor kFrameColour(160, 160, 160);
const QColor kAxisColour(96, 96, 96);
const QColor kGridColour(224, 224, 224);
const QColor kTextColour(32, 32, 32);
// The note: dark red, as warnings are.
const QColor kNoteColour(160, 0, 0);

// A colour washed towards light grey, for curves that are out of date.
QColor Faded(const QColor& colour) {
    const auto mix = [](int c) { return (c + 3 * 200) / 4; };
    return QColor(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
}

// The decimals a tick step needs: none for whole steps, else as many as
// its last significant digit (0.25 -> 2).
int DecimalsFor(double step) {
    for (int decimals = 0; decimals < 9; ++decimals) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, scaled)) return decimals;
    }
    return 9;
}

// A whole multiple of `step` (above zero) that keeps the ticks over `span`
// to at most `most`.
double BoundedInterval(double span, double step, int most) {
    if (!(span > 0.0) || !std::isfinite(span)) return step;
    return step * std::max(1.0, std::ceil(span / (most * step)));
}

}  // namespace

QColor ColourFromRgbValue(int32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

GraphLite::GraphLite(QWidget* parent) : QWidget(parent) {
    // A picture, not a control: Tab passes it by (from the last field it
    // goes round to the first).
    setFocusPolicy(Qt::NoFocus);
    // Every pixel is painted by render(), so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphLite::SetIntegerOption1(int32_t value) {
    calls_ << "IntegerOption1";
    state_.option1 = value;
}
void GraphLite::SetIntegerOption2(int32_t value) {
    calls_ << "IntegerOption2";
    state_.option2 = value;
}
void GraphLite::SetYesNoOption1(bool value) {
    calls_ << "YesNoOption1";
    state_.grid_lines = value;
}
void GraphLite::SetData(const GraphTable& table) {
    calls_ << "Data";
    state_.table = table;
}
void GraphLite::SetSeriesStyle(int16_t series, int32_t colour, const QString& label) {
    calls_ << "SeriesStyle" + QString::number(series);
    state_.series[series] = {ColourFromRgbValue(colour), label};
}
void GraphLite::SetTitle(const QString& title) {
    calls_ << "Title";
    state_.title = title;
}
void GraphLite::SetVerticalMinimum(double value) {
    calls_ << "VerticalMinimum";
    state_.vertical_minimum = value;
}
void GraphLite::SetVerticalMaximum(double value) {
    calls_ << "VerticalMaximum";
    state_.vertical_maximum = value;
}
void GraphLite::SetVerticalStep(int32_t value) {
    calls_ << "VerticalStep";
    state_.vertical_step = value;
}
void GraphLite::SetHorizontalLabelStep(double samples) {
    calls_ << "HorizontalLabelStep";
    state_.label_step = samples;
}
void GraphLite::SetColourOption(int32_t colour) {
    calls_ << "ColourOption";
    state_.background = ColourFromRgbValue(colour);
}
void GraphLite::SetYesNoOption2(bool value) {
    calls_ << "YesNoOption2";
    state_.legend = value;
}

void GraphLite::SetSecondaryAxis(double minimum, double maximum, double step, const QString& unit, int16_t first_series) {
    calls_ << "SecondaryAxis";
    state_.secondary = SecondaryAxis{minimum, maximum, step > 0.0 ? step : 1.0, unit, first_series};
}
void GraphLite::ClearSecondaryAxis() {
    calls_ << "ClearSecondaryAxis";
    state_.secondary.reset();
    update();
}

void GraphLite::SetHorizontalValueAxis(bool values) {
    calls_ << "HorizontalValueAxis";
    state_.value_axis = values;
}
void GraphLite::SetNote(const QString& note) {
    calls_ << "Note";
    state_.note = note;
    update();
}
void GraphLite::SetFaded(bool faded) {
    calls_ << "Faded";
    state_.faded = faded;
    update();
}

void GraphLite::SetSeriesLook(int16_t series, bool dashed, bool points) {
    calls_ << "SeriesLook" + QString::number(series);
    state_.series[series].dashed = dashed;
    state_.series[series].points = points;
}
void GraphLite::SetLogScales(bool horizontal, bool vertical) {
    calls_ << "LogScales";
    state_.log_x = horizontal;
    state_.log_y = vertical;
}

void GraphLite::Redraw() {
    calls_ << "Redraw";
    ++redraws_;
    Repaint();
}

void GraphLite::Repaint() {
    drawn_points_ = 0;
    if (state_.table.rows.size() > 1) {
        for (const auto& value : state_.table.rows[1]) {
            if (value && std::isfinite(*value)) ++drawn_points_;
        }
    }
    update();
}

void GraphLite::Show(const State& state) {
    state_ = state;
    Repaint();
}

std::vector<int16_t> GraphLite::SeriesWithData() const {
    std::vector<int16_t> shown;
    for (size_t row = 1; row < state_.table.rows.size(); ++row) {
        const auto& values = state_.table.rows[row];
        if (std::any_of(values.begin(), values.end(), [](const auto& v) { return v && std::isfinite(*v); })) {
            shown.push_back(static_cast<int16_t>(row - 1));
        }
    }
    return shown;
}

void GraphLite::ValueTicks(const std::vector<std::optional<double>>& values, QStringList* texts,
                           std::vector<double>* columns) {
    std::vector<std::pair<double, double>> samples;  // column, value
    for (std::size_t j = 0; j < values.size(); ++j) {
        if (values[j] && std::isfinite(*values[j])) samples.emplace_back(static_cast<double>(j), *values[j]);
    }
    if (samples.empty()) return;
    const double first = samples.front().second, last = samples.back().second;
    if (!(last > first)) {
        *texts << TextOfDouble(first);
        columns->push_back(samples.front().first);
        return;
    }
    // The largest round step (5, 2 or 1 times a power of ten) that still
    // gives at least four intervals: five to ten ticks.
    const double span = last - first;
    double step = std::pow(10.0, std::floor(std::log10(span)));
    for (const double fraction : {0.5, 0.2, 0.1}) {
        if (span / step >= 4.0) break;
        step = std::pow(10.0, std::floor(std::log10(span))) * fraction;
    }
    const int decimals = DecimalsFor(step);
    std::size_t at = 0;
    for (double k = std::ceil(first / step - 1e-9); k * step <= last + 1e-9 * step && texts->size() <= kMostTicks; ++k) {
        const double value = k * step;
        while (at + 2 < samples.size() && samples[at + 1].second < value) ++at;
        const auto& [c0, v0] = samples[at];
        const auto& [c1, v1] = samples[std::min(at + 1, samples.size() - 1)];
        const double along = v1 > v0 ? std::clamp((value - v0) / (v1 - v0), 0.0, 1.0) : 0.0;
        *texts << TextOfDouble(RoundDecimals(value, decimals));
        columns->push_back(c0 + along * (c1 - c0));
    }
}

double GraphLite::XOf(const QRectF& plot, double column) const {
    if (state_.log_x) {
        // On a logarithmic axis a column stands where its value is.
        const auto& values = state_.table.rows.empty() ? std::vector<std::optional<double>>() : state_.table.rows[0];
        const auto j = static_cast<std::size_t>(std::clamp(column, 0.0, static_cast<double>(values.size()) - 1));
        return values.empty() || !values[j] ? plot.left() : XOfValue(plot, *values[j]);
    }
    const double last = std::max(1, state_.table.Columns() - 1);
    return plot.left() + plot.width() * column / last;
}

void GraphLite::RoundAxis(double top, double* step, double* maximum) {
    if (!(top > 0.0)) top = 1.0;
    const double rough = top / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    *step = rough <= power ? power : rough <= 2 * power ? 2 * power : rough <= 5 * power ? 5 * power : 10 * power;
    *maximum = *step * std::ceil(top / *step);
}

double GraphLite::LogStepBelow(double value) {
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {5.0, 2.0, 1.0}) {
        if (step * power <= value * (1 + 1e-12)) return step * power;
    }
    return power;
}

double GraphLite::LogStepAbove(double value) {
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * power >= value * (1 - 1e-12)) return step * power;
    }
    return 10.0 * power;
}

std::vector<double> GraphLite::LogTicks(double low, double high) {
    std::vector<double> ticks;
    if (!(low > 0.0) || !(high >= low) || !std::isfinite(high)) return ticks;
    // Within a decade every whole step; over two, the 1-2-5 ones; past that
    // the powers alone.
    const double decades = std::log10(high / low);
    const std::vector<double> steps = decades <= 1.0 + 1e-9   ? std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9}
                                      : decades <= 2.0 + 1e-9 ? std::vector<double>{1, 2, 5}
                                                              : std::vector<double>{1};
    for (double power = std::pow(10.0, std::floor(std::log10(low))); power <= high * (1 + 1e-9); power *= 10.0) {
        for (double step : steps) {
            const double value = step * power;
            if (value >= low * (1 - 1e-9) && value <= high * (1 + 1e-9)) ticks.push_back(value);
        }
    }
    return ticks;
}

// The horizontal range of a logarithmic axis: the 1-2-5 steps around its
// values' smallest and largest above 0.
std::pair<double, double> GraphLite::LogRange() const {
    double low = INFINITY, high = 0.0;
    if (!state_.table.rows.empty()) {
        for (const auto& value : state_.table.rows[0]) {
            if (value && *value > 0.0 && std::isfinite(*value)) low = std::min(low, *value), high = std::max(high, *value);
        }
    }
    if (!(high > 0.0)) return {1.0, 10.0};
    low = LogStepBelow(low);
    high = LogStepAbove(high);
    return {low, high > low ? high : LogStepAbove(low * 1.5)};
}

double GraphLite::XOfValue(const QRectF& plot, double value) const {
    const auto [low, high] = LogRange();
    const double fraction = value > 0.0 ? std::log(value / low) / std::log(high / low) : 0.0;
    return plot.left() + plot.width() * fraction;
}

double GraphLite::YOf(const QRectF& plot, double value, int16_t series) const {
    const bool secondary = state_.secondary && series >= state_.secondary->first_series;
    const double minimum = secondary ? state_.secondary->minimum : state_.vertical_minimum;
    const double maximum = secondary ? state_.secondary->maximum : state_.vertical_maximum;
    double fraction = 0.0;
    if (state_.log_y && !secondary && minimum > 0.0 && maximum > minimum) {
        fraction = value > 0.0 ? std::log(value / minimum) / std::log(maximum / minimum) : -1.0;
    } else if (maximum - minimum > 0.0) {
        fraction = (value - minimum) / (maximum - minimum);
    }
    return plot.bottom() - plot.height() * fraction;
}

GraphLite::Layout GraphLite::LayoutFor(const QRectF& bounds) const {
    Layout layout;
    layout.label_font = font();
    layout.label_font.setPixelSize(std::max(kLabelPixels, QFontInfo(font()).pixelSize()));
    layout.title_font = layout.label_font;
    layout.title_font.setPixelSize(layout.label_font.pixelSize() + 2);
    const QFontMetricsF metrics(layout.label_font);
    const QFontMetricsF title_metrics(layout.title_font);

    // Top: the title; bottom: one row of horizontal labels.
    double top = bounds.top() + kPad;
    if (!state_.title.isEmpty()) {
        layout.title = QRectF(bounds.left() + kPad, top, bounds.width() - 2 * kPad, title_metrics.height());
        top = layout.title.bottom() + kPad / 2;
    }
    if (!state_.note.isEmpty()) {
        const QRectF room(bounds.left() + kPad, top, bounds.width() - 2 * kPad, 4 * metrics.height());
        const QRectF used = metrics.boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap, state_.note);
        layout.note = QRectF(room.left(), top, room.width(), used.height());
        top = layout.note.bottom() + kPad / 2;
    }
    const double bottom = bounds.bottom() - kPad - metrics.height() - kTickRoom;
    const double plot_height = std::max(1.0, bottom - top);

    // Vertical ticks: whole multiples of the given step from the minimum,
    // at most kMostTicks of them and never so many that their labels touch.
    const double step = state_.vertical_step > 0 ? state_.vertical_step : 1.0;
    const double span = std::max(state_.vertical_maximum - state_.vertical_minimum, 0.0);
    const int room_for = std::max(1, static_cast<int>(plot_height / (metrics.height() + 2.0)));
    layout.y_interval = BoundedInterval(span, step, std::min(kMostTicks, room_for));
    QStringList y_texts;
    std::vector<double> y_values;
    if (state_.log_y && state_.vertical_minimum > 0.0) {
        for (double value : LogTicks(state_.vertical_minimum, state_.vertical_maximum)) {
            if (y_values.size() > static_cast<std::size_t>(kMostTicks)) break;
            y_texts << TextOfDouble(value);
            y_values.push_back(value);
        }
    } else {
        for (int k = 0; k <= kMostTicks; ++k) {
            const double value = state_.vertical_minimum + k * layout.y_interval;
            if (value > state_.vertical_maximum + layout.y_interval * 1e-9) break;
            y_texts << TextOfDouble(value);
            y_values.push_back(value);
        }
    }
    double widest_y = 0.0;
    for (const QString& text : y_texts) widest_y = std::max(widest_y, metrics.horizontalAdvance(text));
    // The second axis's ticks and labels (its unit on its top label).
    QStringList secondary_texts;
    std::vector<double> secondary_values;
    double widest_secondary = 0.0;
    if (state_.secondary) {
        const SecondaryAxis& axis = *state_.secondary;
        const double interval = BoundedInterval(std::max(axis.maximum - axis.minimum, 0.0), axis.step,
                                                std::min(kMostTicks, room_for));
        for (int k = 0; k <= kMostTicks; ++k) {
            const double value = axis.minimum + k * interval;
            if (value > axis.maximum + interval * 1e-9) break;
            secondary_texts << TextOfDouble(value);
            secondary_values.push_back(value);
        }
        if (!secondary_texts.isEmpty()) secondary_texts.back() += " " + axis.unit;
        for (const QString& text : secondary_texts) {
            widest_secondary = std::max(widest_secondary, metrics.horizontalAdvance(text));
        }
    }

    // Right: the legend, one entry per series that has data.
    double legend_width = 0.0;
    std::vector<int16_t> shown;
    if (state_.legend) shown = SeriesWithData();
    for (int16_t series : shown) {
        const auto style = state_.series.find(series);
        const QString text = style != state_.series.end() ? style->second.label : QString();
        legend_width = std::max(legend_width, kLegendMarker + 5 + metrics.horizontalAdvance(text));
    }
    const double left = bounds.left() + kPad + widest_y + kTickRoom;
    const double right = bounds.right() - kPad - (legend_width > 0 ? legend_width + kPad : 0.0) -
                         (widest_secondary > 0 ? widest_secondary + kTickRoom : 0.0);
    layout.plot = QRectF(left, top, std::max(1.0, right - left), plot_height);
    const QRectF& plot = layout.plot;
    for (size_t i = 0; i < secondary_values.size(); ++i) {
        const double y = YOf(plot, secondary_values[i], state_.secondary->first_series);
        const QString& text = secondary_texts[static_cast<qsizetype>(i)];
        layout.secondary_ticks.push_back(y);
        layout.secondary_labels.push_back(
            {text, QRectF(plot.right() + kTickRoom, y - metrics.height() / 2, metrics.horizontalAdvance(text),
                          metrics.height())});
    }

    for (size_t i = 0; i < y_values.size(); ++i) {
        const double y = YOf(plot, y_values[i]);
        const double width = metrics.horizontalAdvance(y_texts[static_cast<qsizetype>(i)]);
        layout.y_ticks.push_back(y);
        layout.y_labels.push_back({y_texts[static_cast<qsizetype>(i)],
                                   QRectF(plot.left() - kTickRoom - width, y - metrics.height() / 2, width,
                                          metrics.height())});
    }

    // Horizontal labels: the label of every "label step"-th sample, in full;
    // or, on an axis of values, round values placed where they lie.
    const int columns = state_.table.Columns();
    const double label_step = state_.label_step >= 1.0 ? state_.label_step : 1.0;
    QStringList x_texts;
    std::vector<double> x_columns;
    if (!state_.table.rows.empty() && state_.log_x) {
        // The 1-2-5 steps across the range, placed where they are.
        const auto [low, high] = LogRange();
        for (double value : LogTicks(low, high)) {
            if (x_texts.size() > kMostTicks) break;
            x_texts << TextOfDouble(value);
            x_columns.push_back(value);
        }
    } else if (!state_.table.rows.empty() && state_.value_axis) {
        ValueTicks(state_.table.rows[0], &x_texts, &x_columns);
    } else if (!state_.table.rows.empty()) {
        const auto& labels = state_.table.rows[0];
        for (double position = 0.0; position < columns && x_texts.size() <= kMostTicks; position += label_step) {
            const auto j = static_cast<size_t>(std::lround(position));
            if (j >= labels.size() || !labels[j]) continue;
            const QString text = TextOfDouble(*labels[j]);
            if (x_texts.contains(text)) continue;
            x_texts << text;
            x_columns.push_back(static_cast<double>(j));
        }
    }
    layout.x_label_font = layout.label_font;
    int keep_every = 1;
    for (;;) {
        const double room = x_columns.size() > static_cast<size_t>(keep_every)
                                ? TickX(plot, x_columns[static_cast<size_t>(keep_every)]) - TickX(plot, x_columns[0])
                                : plot.width();
        bool fits = false;
        for (int pixels = QFontInfo(layout.label_font).pixelSize(); pixels >= kSmallestLabelPixels; --pixels) {
            layout.x_label_font.setPixelSize(pixels);
            const QFontMetricsF x_metrics(layout.x_label_font);
            double widest = 0.0;
            for (const QString& text : x_texts) widest = std::max(widest, x_metrics.horizontalAdvance(text));
            if (widest + 4 <= room) {
                fits = true;
                break;
            }
        }
        if (fits || keep_every >= static_cast<int>(x_columns.size())) break;
        keep_every *= 2;
    }
    const QFontMetricsF x_metrics(layout.x_label_font);
    for (size_t i = 0; i < x_columns.size(); i += static_cast<size_t>(keep_every)) {
        const double x = TickX(plot, x_columns[i]);
        const QString& text = x_texts[static_cast<qsizetype>(i)];
        const double width = x_metrics.horizontalAdvance(text);
        const double label_left = std::clamp(x - width / 2, bounds.left(), bounds.right() - width);
        layout.x_ticks.push_back(x);
        layout.x_labels.push_back({text, QRectF(label_left, plot.bottom() + kTickRoom, width, x_metrics.height())});
    }

    // Legend entries stacked at the middle of the plot's right side.
    double entry_top = plot.center().y() - shown.size() * metrics.height() / 2;
    for (int16_t series : shown) {
        const auto style = state_.series.find(series);
        Layout::LegendEntry entry;
        entry.colour = style != state_.series.end() ? style->second.colour : QColor(Qt::black);
        entry.text = style != state_.series.end() ? style->second.label : QString();
        const double x = plot.right() + kPad + (widest_secondary > 0 ? widest_secondary + kTickRoom : 0.0);
        entry.marker = QRectF(x, entry_top + (metrics.height() - kLegendMarker) / 2, kLegendMarker, kLegendMarker);
        entry.text_rect = QRectF(x + kLegendMarker + 5, entry_top, metrics.horizontalAdvance(entry.text) + 1,
                                 metrics.height());
        layout.legend.push_back(entry);
        entry_top += metrics.height();
    }
    return layout;
}

void GraphLite::render(QPainter& painter, const QRectF& bounds) const {
    const Layout layout = LayoutFor(bounds);
    const QRectF& plot = layout.plot;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    // The panel and its frame.
    painter.fillRect(bounds, state_.background);
    painter.setPen(QPen(kFrameColour, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));

    if (!state_.title.isEmpty()) {
        painter.setFont(layout.title_font);
        painter.setPen(kTextColour);
        painter.drawText(layout.title, Qt::AlignHCenter | Qt::AlignTop, state_.title);
    }
    if (!state_.note.isEmpty()) {
        painter.setFont(layout.label_font);
        painter.setPen(kNoteColour);
        painter.drawText(layout.note, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, state_.note);
    }

    // Grid lines behind the curve, then the axes with their tick marks.
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (state_.grid_lines) {
        painter.setPen(QPen(kGridColour, 1.0));
        for (double y : layout.y_ticks) painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setPen(QPen(kAxisColour, 1.0));
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    for (double y : layout.y_ticks) painter.drawLine(QPointF(plot.left() - kTickLength, y), QPointF(plot.left(), y));
    for (double x : layout.x_ticks) {
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + kTickLength));
    }
    if (state_.secondary) {
        painter.drawLine(plot.bottomRight(), plot.topRight());
        for (double y : layout.secondary_ticks) {
            painter.drawLine(QPointF(plot.right(), y), QPointF(plot.right() + kTickLength, y));
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, true);

    painter.setPen(kTextColour);
    painter.setFont(layout.label_font);
    for (const DrawnLabel& label : layout.y_labels) {
        painter.drawText(label.rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, label.text);
    }
    for (const DrawnLabel& label : layout.secondary_labels) {
        painter.drawText(label.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, label.text);
    }
    painter.setFont(layout.x_label_font);
    for (const DrawnLabel& label : layout.x_labels) {
        painter.drawText(label.rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, label.text);
    }

    // The curves, each row against the samples' columns; values beyond the
    // vertical range are cut at the plot's edge.
    painter.save();
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    for (int16_t series : SeriesWithData()) {
        const auto style = state_.series.find(series);
        QColor colour = style != state_.series.end() ? style->second.colour : QColor(Qt::black);
        if (state_.faded) colour = Faded(colour);
        const bool dashed = style != state_.series.end() && style->second.dashed;
        const bool points = state_.option1 != 1 || (style != state_.series.end() && style->second.points);
        QPen pen(colour);
        if (dashed) pen.setStyle(Qt::DashLine);
        pen.setWidthF(2.0 + std::max(0, state_.option2));
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        const auto& values = state_.table.rows[static_cast<size_t>(series) + 1];
        const int columns = std::min(state_.table.Columns(), static_cast<int>(values.size()));
        QPolygonF line;
        line.reserve(columns);
        for (int j = 0; j < columns; ++j) {
            const auto& value = values[static_cast<size_t>(j)];
            // Far outside the plot a point is only a direction: keep it
            // within a few heights so the painter's arithmetic stays exact.
            if (value && std::isfinite(*value)) {
                const double y = std::clamp(YOf(plot, *value, series), plot.top() - 4 * plot.height(),
                                            plot.bottom() + 4 * plot.height());
                line << QPointF(XOf(plot, j), y);
            }
        }
        if (!points) {
            painter.setPen(pen);
            painter.drawPolyline(line);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(pen.color());
            // Measured points stand out from the lines drawn beside them.
            const bool marks = style != state_.series.end() && style->second.points;
            const double radius = marks ? 4.0 : pen.widthF();
            for (const QPointF& point : line) painter.drawEllipse(point, radius, radius);
            painter.setBrush(Qt::NoBrush);
        }
    }
    painter.restore();

    painter.setFont(layout.label_font);
    for (const Layout::LegendEntry& entry : layout.legend) {
        const QColor colour = state_.faded ? Faded(entry.colour) : entry.colour;
        painter.setPen(QPen(colour.darker(150), 1.0));
        painter.setBrush(colour);
        painter.drawRect(entry.marker);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(kTextColour);
        painter.drawText(entry.text_rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, entry.text);
    }
    painter.restore();
}

void GraphLite::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    render(painter, QRectF(rect()));
}

std::vector<GraphLite::DrawnLabel> GraphLite::DrawnLabels(Qt::Orientation axis) const {
    const Layout layout = LayoutFor(QRectF(rect()));
    return axis == Qt::Horizontal ? layout.x_labels : layout.y_labels;
}

double GraphLite::DrawnVerticalInterval() const { return LayoutFor(QRectF(rect())).y_interval; }

QRectF GraphLite::PlotArea() const { return LayoutFor(QRectF(rect())).plot; }

}  // namespace thrustlet
