#include "ui/grains_panel.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "model/motor_run.h"
#include "model/motor.h"
#include "platform/locale_number.h"
#include "ui/document.h"
#include "ui/limits_dialog.h"
#include "ui/out_of_date.h"
#include "ui/twips.h"

namespace thrustlet {

namespace {

constexpr const char* kNoFigure = "\u2014";
// How much wider the window is while the panel shows (its width and a gap).
constexpr int kPanelTwips = 4200 + 126;
// The window's warning colours: yellow for a warning, red over a limit.
const QColor kWarning(255, 255, 0);
const QColor kDanger(255, 0, 0);

// A marker in the alert's colour before its sentence: the words say it too.
QString AlertLine(bool severe, const QString& text) {
    const QString colour = severe ? "#ff0000" : "#ffff00";
    return "<p style=\"margin:0 0 4px 0\"><span style=\"background-color:" + colour +
           ";\">&nbsp;&nbsp;&nbsp;</span>&nbsp;" + text.toHtmlEscaped() + "</p>";
}

}  // namespace

GrainsPanel::GrainsPanel(Document& document, const Controls& controls)
    : document_(document), ui_(controls), editor_(std::make_unique<QtLimitsEditor>()) {}

GrainsPanel::~GrainsPanel() = default;

void GrainsPanel::SetEditor(std::unique_ptr<ILimitsEditor> editor) { editor_ = std::move(editor); }

void GrainsPanel::SetVisible(bool visible) { ShowBeside(ui_.window, ui_.Frame5, visible, kPanelTwips); }

void GrainsPanel::Update(const MotorRun& run) {
    const MotorFlow& flow = run.Flow();
    const DisplayUnits units = run.Units();
    const DesignLimits& limits = run.Limits();
    GrainsPanelShown shown;
    shown.visible = run.HasPropellant();
    for (const GrainFlow& grain : flow.grains) {
        std::array<QString, 5> row;
        std::array<int, 5> marks{};
        row[0] = QString::number(grain.position);
        row[1] = grain.mass ? TextOfFigure(*grain.mass * 1000.0, 3) : QString(kNoFigure);
        row[2] = grain.port_throat ? TextOfFigure(*grain.port_throat, 3) : QString(kNoFigure);
        if (grain.port_throat && *grain.port_throat < limits.min_port_throat) marks[2] = 1;
        if (!grain.peak_mass_flux) {
            row[3] = kNoFigure;
        } else {
            row[3] = TextOfFigure(*grain.peak_mass_flux / units.MassFluxPer(), units.MassFluxDigits());
        }
        if (grain.peak_mass_flux && *grain.peak_mass_flux > limits.max_mass_flux) marks[3] = 2;
        row[4] = TextOfDouble(RoundDecimals(grain.neutral_length, units.LengthDecimals()));
        shown.rows.push_back(row);
        shown.marks.push_back(marks);
    }
    for (const Alert& alert : run.Alerts()) shown.alerts.emplace_back(alert.Severe(), QString::fromStdString(alert.message));
    Show(shown);
}

void GrainsPanel::ShowCleared(const QString& why) {
    GrainsPanelShown shown;
    shown.visible = document_.Motor().Performance().HasPropellant();
    shown.alerts.emplace_back(false, why);
    Show(shown);
}

void GrainsPanel::ShowOutOfDate(const QString& note) {
    thrustlet::ShowOutOfDate(ui_.grdGrainFigures, !note.isEmpty(), note);
    thrustlet::ShowOutOfDate(ui_.lblAlerts, !note.isEmpty(), note);
}

GrainsPanelShown GrainsPanel::Current() const { return shown_; }

void GrainsPanel::Show(const GrainsPanelShown& shown) {
    shown_ = shown;
    SetVisible(shown.visible);
    const DisplayUnits units(document_.Motor().Performance().units);
    QTableWidget* table = ui_.grdGrainFigures;
    table->setHorizontalHeaderLabels({"#", "Mass\n(g)", "Port/\nthroat", QString("Peak flux\n(%1)").arg(units.MassFluxShortWord()),
                                      QString("Neutral\nlength (%1)").arg(units.LengthAbbreviation())});
    // A table of thousands of grains shows its first thousand: the rest
    // are in the sheet and the command line's report.
    const int rows = static_cast<int>(std::min<std::size_t>(shown.rows.size(), 1000));
    table->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 5; ++c) {
            auto* item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem();
                item->setFlags(Qt::ItemIsEnabled);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                table->setItem(r, c, item);
            }
            item->setText(shown.rows[static_cast<size_t>(r)][static_cast<size_t>(c)]);
            const int mark = shown.marks.empty() ? 0 : shown.marks[static_cast<size_t>(r)][static_cast<size_t>(c)];
            item->setBackground(mark == 2 ? QBrush(kDanger) : mark == 1 ? QBrush(kWarning) : QBrush());
            item->setData(Qt::UserRole, mark);
        }
    }
    // The first hundred alerts, as the table its first thousand grains: a
    // label laying out thousands of sentences would hold the window up for
    // seconds. The rest are counted (the command line's report lists
    // them).
    constexpr std::size_t kMostAlertsShown = 100;
    QString html;
    for (std::size_t i = 0; i < shown.alerts.size() && i < kMostAlertsShown; ++i) {
        html += AlertLine(shown.alerts[i].first, shown.alerts[i].second);
    }
    if (shown.alerts.size() > kMostAlertsShown) {
        html += AlertLine(false, QString("\u2026 and %1 more alerts (the command line's report lists them all).")
                                     .arg(shown.alerts.size() - kMostAlertsShown));
    }
    if (shown.alerts.empty() && !shown.rows.empty()) html = "No limit crossed.";
    ui_.lblAlerts->setText(html);
}

void GrainsPanel::mnuLimits_Click() {
    cMotor& motor = document_.Motor();
    const LimitsChoice current = motor.Limits();
    const std::optional<LimitsChoice> chosen = editor_->Edit(current, motor.Unit(), ui_.window);
    if (!chosen || *chosen == current) return;
    motor.SetLimits(*chosen);
    document_.SetChanged(true);
    if (recalculate_) recalculate_();
    document_.DesignChanged("Limits");
}

}  // namespace thrustlet
