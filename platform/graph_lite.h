#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

class QPainter;

namespace thrustlet {

// A table of cells for the graph: rows of columns, each cell a number or
// empty. Row 0 holds the horizontal labels, row 1 the curve (series 0).
struct GraphTable {
    std::vector<std::vector<std::optional<double>>> rows;
    int Columns() const { return rows.empty() ? 0 : static_cast<int>(rows[0].size()); }
    bool operator==(const GraphTable&) const = default;
};

// Colours are 24-bit values with red in the low byte and blue in the high one.
QColor ColourFromRgbValue(int32_t value);

// The x-y graph: takes its settings one operation at a time and draws them on
// Redraw. Row 1 of the table is drawn as a line against the labels of row 0,
// one label every "horizontal label step" samples; empty cells are skipped.
// Settings stay until changed; the table is copied when it is passed.
//
// The graph paints itself: everything it shows goes through render(), so the
// same picture can be painted on the screen, into an image, a PDF or onto a
// printer's page.
class GraphLite : public QWidget {
    Q_OBJECT
public:
    struct SeriesStyle {
        QColor colour;
        QString label;
        bool dashed = false;  // a measured curve over a predicted one
        bool points = false;  // marks at its values, no line between them
    };

    explicit GraphLite(QWidget* parent = nullptr);

    // 1 draws the curve as a line (any other value: points only).
    void SetIntegerOption1(int32_t value);
    // Width of the curve's pen in pixels beyond 2.
    void SetIntegerOption2(int32_t value);
    // Shows the grid lines of the vertical axis.
    void SetYesNoOption1(bool value);
    void SetData(const GraphTable& table);
    void SetSeriesStyle(int16_t series, int32_t colour, const QString& label);
    void SetTitle(const QString& title);
    void SetVerticalMinimum(double value);
    void SetVerticalMaximum(double value);
    void SetVerticalStep(int32_t value);
    void SetHorizontalLabelStep(double samples);
    // Background colour of the plot panel.
    void SetColourOption(int32_t colour);
    // Shows the legend.
    void SetYesNoOption2(bool value);
    void Redraw();
    // A second vertical axis, on the right, for every series after the
    // first (a chamber-pressure curve beside the Kn curve): its range and
    // tick step, and a word for its unit. Cleared, those series share the
    // first axis.
    void SetSecondaryAxis(double minimum, double maximum, double step, const QString& unit, int16_t first_series = 1);
    void ClearSecondaryAxis();
    // Row 0 holds the samples' values (increasing) rather than labels: the
    // horizontal axis then has ticks at round values, each placed where its
    // value lies between the samples, with as many decimals as the step
    // needs. Off, every label-step-th sample is labelled with its cell.
    void SetHorizontalValueAxis(bool values);
    // A line of text across the top of the plot ("" for none), and the
    // curves drawn faded: what the graph says about figures that no longer
    // belong to the design. Neither is cleared by a new table.
    void SetNote(const QString& note);
    void SetFaded(bool faded);
    // How a series is drawn (after its style is set): dashed, or as marks.
    void SetSeriesLook(int16_t series, bool dashed, bool points);
    // Logarithmic scales: the horizontal one over row 0's values (an axis
    // of values, see above), the vertical one over the vertical range (its
    // minimum above 0); ticks at every whole step within a decade, at 1, 2
    // and 5 times the powers of ten over two, at the powers alone past that.
    void SetLogScales(bool horizontal, bool vertical);
    // The 1-2-5 steps of a logarithmic axis: the largest at or below a
    // value above 0, the smallest at or above it, and those from low to
    // high (every one, or the powers of ten alone past two decades).
    static double LogStepBelow(double value);
    static double LogStepAbove(double value);
    static std::vector<double> LogTicks(double low, double high);
    // A round step (1, 2 or 5 times a power of ten) for about five ticks of
    // a linear axis up to `top`, and the axis's top as a whole number of
    // them (an axis up to 1 for a top not above 0).
    static void RoundAxis(double top, double* step, double* maximum);

    // Everything the graph was told, to show it again later exactly as it
    // was (the window's edit history keeps it).
    struct SecondaryAxis {
        double minimum = 0.0, maximum = 1.0, step = 1.0;
        QString unit;
        int16_t first_series = 1;  // the series from this one on use it
        bool operator==(const SecondaryAxis&) const = default;
    };
    struct State {
        GraphTable table;
        QString title;
        double vertical_minimum = 0.0, vertical_maximum = 100.0, label_step = 1.0;
        int32_t vertical_step = 10, option1 = 1, option2 = 0;
        bool grid_lines = true, legend = false;
        std::map<int16_t, SeriesStyle> series;
        QColor background = Qt::white;
        std::optional<SecondaryAxis> secondary;
        bool value_axis = false;
        QString note;
        bool faded = false;
        bool log_x = false, log_y = false;
    };
    const State& Shown() const { return state_; }
    // Takes every setting of `state` and redraws.
    void Show(const State& state);

    // Paints the whole graph (panel, title, axes, labels, curve, legend) into
    // `bounds`, in the painter's units (pixels on the screen). Text uses the
    // widget's font.
    void render(QPainter& painter, const QRectF& bounds) const;
    using QWidget::render;

    // What the graph was told, in order (operation names), for checks.
    const QStringList& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    const GraphTable& Table() const { return state_.table; }
    const QString& Title() const { return state_.title; }
    double VerticalMinimum() const { return state_.vertical_minimum; }
    double VerticalMaximum() const { return state_.vertical_maximum; }
    int32_t VerticalStep() const { return state_.vertical_step; }
    double HorizontalLabelStep() const { return state_.label_step; }
    const std::map<int16_t, SeriesStyle>& Series() const { return state_.series; }
    QColor Background() const { return state_.background; }
    int Redraws() const { return redraws_; }
    // Points of the drawn curve (after the last Redraw).
    int DrawnPoints() const { return drawn_points_; }

    // The labels of an axis as drawn on the widget: text and place in the
    // widget's pixels.
    struct DrawnLabel {
        QString text;
        QRectF rect;
    };
    std::vector<DrawnLabel> DrawnLabels(Qt::Orientation axis) const;
    // The vertical tick step as drawn (widened for huge ranges).
    double DrawnVerticalInterval() const;
    // Where the plot (the area inside the axes) lies on the widget.
    QRectF PlotArea() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where everything goes for one size: computed afresh for each paint, so
    // the screen, an image and a page each get a layout of their own.
    struct Layout {
        QRectF plot, title, note;
        QFont label_font, x_label_font, title_font;
        std::vector<DrawnLabel> x_labels, y_labels, secondary_labels;
        std::vector<double> x_ticks, y_ticks, secondary_ticks;  // pixel positions
        double y_interval = 1.0;
        struct LegendEntry {
            QColor colour;
            QString text;
            QRectF marker, text_rect;
        };
        std::vector<LegendEntry> legend;
    };
    Layout LayoutFor(const QRectF& bounds) const;
    // The x pixel of sample `column` and the y pixel of `value` on the plot
    // (on the second axis for `series` after the first, when there is one).
    double XOf(const QRectF& plot, double column) const;
    // On a logarithmic horizontal axis: where a value stands, and the
    // axis's range (1-2-5 steps around the values).
    double XOfValue(const QRectF& plot, double value) const;
    std::pair<double, double> LogRange() const;
    // Where a horizontal tick stands: a column, or a value on a log axis.
    double TickX(const QRectF& plot, double at) const { return state_.log_x ? XOfValue(plot, at) : XOf(plot, at); }
    double YOf(const QRectF& plot, double value, int16_t series = 0) const;
    // Ticks of an axis of values: round values from the first sample's to
    // the last's, about five, with their texts and fractional columns.
    static void ValueTicks(const std::vector<std::optional<double>>& values, QStringList* texts,
                           std::vector<double>* columns);
    // Series that have a row in the table with at least one value.
    std::vector<int16_t> SeriesWithData() const;

    // Counts the points of series 0 and asks for a repaint.
    void Repaint();

    QStringList calls_;
    State state_;
    int redraws_ = 0, drawn_points_ = 0;
};

}  // namespace thrustlet
