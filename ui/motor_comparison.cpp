#include "ui/motor_comparison.h"

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <new>

#include "model/errors.h"
#include "model/formats/motor_formats.h"
#include "model/kn_curve.h"
#include "model/motor.h"
#include "model/motor_run.h"
#include "model/performance.h"
#include "model/units.h"
#include "platform/busy_cursor.h"
#include "platform/dialogs.h"
#include "platform/graph_lite.h"
#include "platform/locale_number.h"
#include "settings/paths.h"
#include "thrustlet/identity.h"
#include "ui/document.h"
#include "ui/file_commands.h"
#include "ui/named.h"

namespace thrustlet {

namespace {

// The compared motors' colours (red in the low byte), none of them the
// design's own blue or green.
constexpr int32_t kComparedColours[] = {0x0080FF, 0xC000C0, 0x808000, 0x004080,
                                        0x808080, 0x008080, 0x8000FF, 0x404040};
constexpr const char* kNoFigure = "\u2014";

QString Figure(const std::optional<double>& value, double per, int digits) {
    return value ? TextOfFigure(*value / per, digits) : QString(kNoFigure);
}

// The row of one motor in the design's units.
QStringList RowOf(const QString& name, const KeyFigures& key, const DisplayUnits& units) {
    return {name,
            Figure(key.total_impulse, 1.0, 4),
            key.designation.empty() ? QString(kNoFigure) : QString::fromStdString(key.designation),
            Figure(key.peak_pressure, units.PascalsPerPressure(), 3),
            Figure(key.average_pressure, units.PascalsPerPressure(), 3),
            Figure(key.burn_time, 1.0, 3),
            Figure(key.peak_mass_flux, units.MassFluxPer(), units.MassFluxDigits())};
}

// A round vertical axis up to `top`, the graph's first axis.
void RoundVerticalAxis(GraphLite& graph, double top) {
    double step = 0, maximum = 0;
    GraphLite::RoundAxis(top, &step, &maximum);
    graph.SetVerticalMaximum(maximum);
    graph.SetVerticalStep(std::max<int32_t>(1, static_cast<int32_t>(step)));
}

}  // namespace

MotorComparison::MotorComparison(Document& document, IDialogs& dialogs, IBusyCursor& cursor, const Controls& controls)
    : document_(document), dialogs_(dialogs), cursor_(cursor), ui_(controls) {
    if (ui_.mnuStopComparing) ui_.mnuStopComparing->setEnabled(false);
}

MotorComparison::~MotorComparison() = default;

void MotorComparison::mnuCompareWith_Click() {
    if (motors_.size() >= kMost) {
        dialogs_.MsgBox(QString("%1 motors are compared already, the most the views can tell apart. Remove one in the "
                                "Compared Motors window first.")
                            .arg(kMost),
                        MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    FileDialogRequest request;
    request.filter = kMotorFilesFilter;
    request.init_dir = QString::fromStdString(document_.FileDir());
    request.title = "Compare the design with another motor";
    request.flags = 0x800;
    const FileDialogResult chosen = dialogs_.ShowOpen(request);
    if (chosen.file_name.isEmpty()) return;
    Add(chosen.file_name.toStdString());
}

bool MotorComparison::Add(const std::string& path) {
    const QString name = QString::fromStdString(FileTitleOf(path));
    const auto refuse = [&](const QString& why) {
        dialogs_.MsgBox("Cannot compare with " + name + ": " + why, MsgButtons::kOk, MsgIcon::kInformation,
                        kProgramTitle);
        return false;
    };
    std::shared_ptr<const MotorRun> run;
    try {
        BusyCursor busy(cursor_);
        cMotor motor;
        ReadAnyMotorFile(path, motor);
        run = std::make_shared<const MotorRun>(RunMotor(motor));
    } catch (const RunTimeError& error) {
        return refuse(QString::fromStdString(error.Description()));
    } catch (const std::bad_alloc&) {
        return refuse("there is not enough memory to read it.");
    } catch (const std::exception& error) {
        return refuse(QString::fromUtf8(error.what()));
    }
    if (!run->HasPropellant()) {
        return refuse("it has no propellant, so no pressure or thrust to lay beside the design's. Give it one in "
                      "Motor > Propellant and save it first.");
    }
    if (!run->Figures()) return refuse(QString::fromStdString(run->Outcome().problem));
    motors_.push_back({name.toStdString(), path, run, KeyFiguresOf(*run)});
    Changed();
    if (!frmCompare || !frmCompare->isVisible()) ShowWindow();
    return true;
}

void MotorComparison::Remove(std::size_t index) {
    if (index >= motors_.size()) return;
    motors_.erase(motors_.begin() + static_cast<std::ptrdiff_t>(index));
    Changed();
}

void MotorComparison::mnuStopComparing_Click() {
    if (motors_.empty()) return;
    motors_.clear();
    Changed();
}

void MotorComparison::Changed() {
    ++generation_;
    if (ui_.mnuStopComparing) ui_.mnuStopComparing->setEnabled(!motors_.empty());
    if (motors_.empty() && frmCompare && frmCompare->isVisible()) frmCompare->hide();
    if (redraw_) redraw_();
    if (frmCompare && frmCompare->isVisible()) ShowDesign(RunMotor(document_.Motor()));
}

double MotorComparison::LongestBurn() const {
    double longest = 0.0;
    for (const Compared& motor : motors_) longest = std::max(longest, motor.key.burn_time.value_or(0.0));
    return longest;
}

void MotorComparison::Overlay(GraphLite& graph, const MotorRun& own, const KnCurve& curve, View view) const {
    if (motors_.empty()) return;
    const DisplayUnits units = own.Units();
    GraphTable table = graph.Shown().table;
    if (table.rows.empty()) return;
    const std::size_t columns = table.rows[0].size();
    const std::size_t first = table.rows.size();  // the first compared motor's row
    double highest = 0.0;
    for (std::size_t m = 0; m < motors_.size(); ++m) {
        const MotorRun& run = *motors_[m].run;
        const Performance& figures = *run.Figures();
        std::vector<std::optional<double>> row(columns);
        if (view == View::kPressure) {
            // Against burn depth: the design's depths in the compared
            // motor's own length unit, nothing past its web.
            const DisplayUnits theirs = run.Units();
            const double scale = units.Unit() && theirs.Unit() ? units.MetresPerLength() / theirs.MetresPerLength() : 1.0;
            double web = 0.0;
            for (const PerformancePoint& point : figures.curve) web = std::max(web, point.depth);
            std::vector<double> depths;
            for (float depth : curve.depths) depths.push_back(depth * scale);
            const std::vector<DepthFigures> at = run.AtDepths(depths);
            for (std::size_t j = 0; j < at.size() && j < columns; ++j) {
                if (depths[j] > web) break;
                row[j] = at[j].pressure / units.PascalsPerPressure();
            }
            highest = std::max(highest, figures.peak_pressure / units.PascalsPerPressure());
        } else {
            if (view == View::kThrust && !figures.has_thrust) continue;
            bool ended = false;
            for (std::size_t j = 0; j < columns && !ended; ++j) {
                if (!table.rows[0][j]) continue;
                const double time = *table.rows[0][j];
                if (view == View::kThrust) {
                    // 0 at the first sample after the burn, as the design's own curve.
                    ended = time > figures.burn_time;
                    row[j] = ended ? 0.0 : ThrustAt(figures, time);
                } else if (const std::optional<double> flux = HighestFluxAt(run.FluxTrace(), time)) {
                    row[j] = *flux / units.MassFluxPer();
                } else if (time > 0.0) {
                    ended = true;
                }
            }
            highest = std::max(highest, view == View::kThrust ? figures.peak_thrust
                                                              : run.Flow().peak_mass_flux.value_or(0.0) / units.MassFluxPer());
        }
        table.rows.push_back(std::move(row));
    }
    if (table.rows.size() == first) return;
    // The axes take in the compared curves too.
    if (view == View::kPressure) {
        if (graph.Shown().secondary) {
            const GraphLite::SecondaryAxis axis = *graph.Shown().secondary;
            double step = 0, maximum = 0;
            GraphLite::RoundAxis(std::max(highest, axis.maximum), &step, &maximum);
            graph.SetSecondaryAxis(axis.minimum, std::max(maximum, axis.maximum), step, axis.unit, axis.first_series);
        }
    } else {
        double top = highest;
        for (std::size_t r = 1; r < first; ++r) {
            for (const auto& cell : table.rows[r]) top = std::max(top, cell.value_or(0.0));
        }
        if (top > graph.Shown().vertical_maximum) RoundVerticalAxis(graph, top);
    }
    graph.SetData(table);
    std::size_t shown = 0;
    for (std::size_t m = 0; m < motors_.size(); ++m) {
        if (view == View::kThrust && !motors_[m].run->Figures()->has_thrust) continue;
        const auto series = static_cast<int16_t>(first - 1 + shown);
        QString label = QString::fromStdString(motors_[m].name);
        if (view == View::kMassFlux) label += " (highest grain)";
        graph.SetSeriesStyle(series, kComparedColours[m % std::size(kComparedColours)], label);
        graph.SetSeriesLook(series, true, false);
        ++shown;
    }
    graph.SetYesNoOption2(true);
    graph.Redraw();
}

MotorComparison::Table MotorComparison::TableFor(const MotorRun& own) const {
    const DisplayUnits units = own.Units();
    Table table;
    table.headings = {"Motor", "Impulse", "Class", "Peak pressure", "Average pressure", "Burn time", "Peak mass flux"};
    table.units = {"", "N\u00b7s", "", units.PressureWord(), units.PressureWord(), "s", units.MassFluxWord()};
    table.rows.push_back(RowOf("This design", KeyFiguresOf(own), units));
    for (const Compared& motor : motors_) table.rows.push_back(RowOf(QString::fromStdString(motor.name), motor.key, units));
    return table;
}

void MotorComparison::ShowWindow() {
    if (!frmCompare) {
        frmCompare = Named(new QDialog(ui_.window), "frmCompare");
        frmCompare->setWindowTitle("Compared Motors");
        frmCompare->setModal(false);
        auto* layout = new QVBoxLayout(frmCompare);
        grdCompare = Named(new QTableWidget(frmCompare), "grdCompare");
        grdCompare->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grdCompare->setSelectionBehavior(QAbstractItemView::SelectRows);
        grdCompare->verticalHeader()->setVisible(false);
        layout->addWidget(grdCompare);
        lblCompareNote = Named(new QLabel(frmCompare), "lblCompareNote");
        lblCompareNote->setWordWrap(true);
        lblCompareNote->setText("Pressures are absolute (Meteor shows gauge pressures: 0.101 MPa less). The compared "
                                "motors are dashed in the pressure, thrust and mass-flux views; closing this window "
                                "ends the comparison.");
        layout->addWidget(lblCompareNote);
        auto* buttons = new QHBoxLayout;
        auto* add = Named(new QPushButton("&Compare With\u2026", frmCompare), "cmdCompareAdd");
        auto* remove = Named(new QPushButton("&Remove", frmCompare), "cmdCompareRemove");
        auto* close = Named(new QPushButton("C&lose", frmCompare), "cmdCompareClose");
        buttons->addWidget(add);
        buttons->addWidget(remove);
        buttons->addStretch();
        buttons->addWidget(close);
        layout->addLayout(buttons);
        QObject::connect(add, &QPushButton::clicked, frmCompare, [this] { mnuCompareWith_Click(); });
        QObject::connect(remove, &QPushButton::clicked, frmCompare, [this] {
            const int row = grdCompare->currentRow();
            if (row >= 1) Remove(static_cast<std::size_t>(row - 1));  // the design's own row stays
        });
        QObject::connect(close, &QPushButton::clicked, frmCompare, &QDialog::reject);
        QObject::connect(frmCompare, &QDialog::finished, frmCompare, [this] { mnuStopComparing_Click(); });
        frmCompare->resize(760, 220);
    }
    ShowDesign(RunMotor(document_.Motor()));
    frmCompare->show();
    frmCompare->raise();
}

void MotorComparison::ShowDesign(const MotorRun& own) {
    if (!grdCompare) return;
    const Table table = TableFor(own);
    grdCompare->setColumnCount(static_cast<int>(table.headings.size()));
    QStringList headers;
    for (qsizetype c = 0; c < table.headings.size(); ++c) {
        headers << (table.units[c].isEmpty() ? table.headings[c] : table.headings[c] + "\n" + table.units[c]);
    }
    grdCompare->setHorizontalHeaderLabels(headers);
    grdCompare->setRowCount(static_cast<int>(table.rows.size()));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (qsizetype c = 0; c < table.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(table.rows[r][c]);
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdCompare->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    grdCompare->resizeColumnsToContents();
}

}  // namespace thrustlet
