#include "ui/design_sheet.h"

#include <QBuffer>
#include <QDate>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "model/motor_run.h"
#include "platform/durable_file.h"
#include "model/kn_curve.h"
#include "model/alerts.h"
#include "model/kn_max.h"
#include "model/motor.h"
#include "model/performance.h"
#include "model/propellant_library.h"
#include "platform/dialogs.h"
#include "platform/locale_number.h"
#include "platform/printing.h"
#include "thrustlet/identity.h"
#include "ui/document.h"
#include "ui/kn_graph.h"
#include "ui/motor_comparison.h"
#include "ui/kn_summary.h"
#include "ui/motor_performance.h"
#include "ui/performance_graph.h"
#include "ui/report.h"
#include "ui/sheet_painter.h"

namespace thrustlet {

namespace {

// Where the propellant's values come from: a library entry they still
// match, or the user.
QString PropellantLine(const cMotor& motor) {
    const PerformanceInputs& in = motor.Performance();
    const QString name = QString::fromStdString(in.propellant_name.value_or("unnamed propellant"));
    for (const LibraryPropellant& entry : PropellantLibrary()) {
        if (in.propellant_name == entry.name && motor.ISPStar() == entry.c_star && motor.Density() == entry.density &&
            in.specific_heat_ratio == entry.k && in.burn_rate == entry.pieces &&
            (!entry.pieces.empty() || (motor.BallisticA() == entry.a && motor.BallisticN() == entry.n))) {
            return name + ": values as published at " + QString::fromStdString(entry.source);
        }
    }
    return name + ": values as typed in";
}

// What the figures count beyond the ideal motor, for the sheet: "; combustion
// efficiency 0.9; nozzle 12° divergence, 3 mm throat length".
QString DeparturesText(const cMotor& motor) {
    const PerformanceInputs& in = motor.Performance();
    QString text;
    if (in.combustion_efficiency) text += "; combustion efficiency " + TextOfSingle(*in.combustion_efficiency);
    if (in.HasNozzleLosses()) {
        text += "; nozzle losses of " + TextOfSingle(in.nozzle_divergence.value_or(0.0f)) + "\u00b0 divergence and a " +
                TextOfSingle(in.nozzle_throat_length.value_or(0.0f)) + " " + DisplayUnits(in.units).LengthAbbreviation() +
                " throat";
    }
    if (in.web_burnout) text += "; a grain is spent with " + TextOfSingle(*in.web_burnout) + " of web left";
    if (in.Model() == BurnModel::kFull) {
        text += "; full model (marched in time";
        text += in.GasStorage() ? ", with the chamber's filling and blowdown" : ", quasi-steady pressure";
        if (in.erosive_alpha.value_or(0.0f) > 0.0f) {
            text += ", erosive burning alpha " + TextOfSingle(*in.erosive_alpha) + " beta " +
                    TextOfSingle(in.erosive_beta.value_or(0.0f));
        }
        if (in.erosive_threshold.value_or(0.0f) > 0.0f && in.erosive_velocity_coefficient.value_or(0.0f) > 0.0f) {
            text += ", erosive threshold G* " + TextOfSingle(*in.erosive_threshold) + " kv " +
                    TextOfSingle(*in.erosive_velocity_coefficient);
        }
        if (in.nozzle_erosion.value_or(0.0f) > 0.0f) text += ", throat erosion " + TextOfSingle(*in.nozzle_erosion) + " m/(s\u00b7Pa)";
        if (in.nozzle_slag.value_or(0.0f) > 0.0f) text += ", slag " + TextOfSingle(*in.nozzle_slag) + " m\u00b7Pa/s";
        text += ")";
    } else if (in.model) {
        text += "; steady model";
    }
    return text;
}

// The propellant, nozzle and hardware the figures come from, as caption and
// value pairs in the design's units (SI beside the inch ones).
std::vector<std::pair<QString, QString>> DesignBlock(const cMotor& motor) {
    const PerformanceInputs& in = motor.Performance();
    const DisplayUnits units(in.units);
    const QString length = units.LengthAbbreviation();
    std::vector<std::pair<QString, QString>> pairs;
    QString c_star = TextOfSingle(motor.ISPStar()) + " m/s";
    QString density = TextOfSingle(motor.Density()) + " kg/m\u00b3";
    if (units.Inch()) {
        c_star += " (" + TextOfFigure(motor.ISPStar() / (12.0 * kMetresPerInch), 4) + " ft/s)";
        density += " (" + TextOfFigure(motor.Density() / kKilogramsPerCubicMetrePerPoundPerCubicInch, 3) + " lb/in\u00b3)";
    }
    pairs.emplace_back("c*:", c_star);
    pairs.emplace_back("Density:", density);
    // The law: r = a P^n in the design's rate and pressure units, or its
    // pieces' span.
    QString law;
    if (in.burn_rate.empty()) {
        law = "r = " + TextOfFigure(units.ShownCoefficient(motor.BallisticA(), motor.BallisticN()), 4) + " P^" +
              TextOfSingle(motor.BallisticN()) + " (" + units.RateWord() + ", " + units.PressureWord() + ")";
    } else {
        float low = in.burn_rate.front().p_min, high = in.burn_rate.front().p_max;
        for (const BurnRatePiece& piece : in.burn_rate) {
            low = std::min(low, piece.p_min);
            high = std::max(high, piece.p_max);
        }
        law = QString("%1 piece%2, %3\u2013%4 %5")
                  .arg(in.burn_rate.size())
                  .arg(in.burn_rate.size() == 1 ? "" : "s")
                  .arg(TextOfFigure(low / units.PascalsPerPressure(), 3), TextOfFigure(high / units.PascalsPerPressure(), 3),
                       units.PressureWord());
    }
    pairs.emplace_back("Burn rate:", law);
    pairs.emplace_back("k:", in.specific_heat_ratio ? TextOfSingle(*in.specific_heat_ratio) : QString("\u2014"));
    pairs.emplace_back("Nozzle efficiency:",
                       TextOfSingle(static_cast<float>(std::round(1000.0 * in.NozzleEfficiency()) / 10.0)) + " %");
    pairs.emplace_back("Ambient:", TextOfFigure(in.AmbientPressure() / units.PascalsPerPressure(), 3) + " " +
                                       units.PressureWord());
    pairs.emplace_back("Case:", in.case_diameter && in.case_length
                                    ? TextOfSingle(*in.case_diameter) + " \u00d7 " + TextOfSingle(*in.case_length) + " " + length
                                    : QString("\u2014"));
    pairs.emplace_back("Hardware:", in.hardware_mass ? TextOfFigure(*in.hardware_mass, 3) + " kg" : QString("\u2014"));
    return pairs;
}

// The alerts the first page has room for (`room` of them): all, or one
// fewer than the room with a last line counting the rest.
std::vector<QString> AlertsThatFit(const std::vector<QString>& alerts, std::size_t room) {
    if (alerts.size() <= room) return alerts;
    std::vector<QString> shown(alerts.begin(), alerts.begin() + static_cast<std::ptrdiff_t>(room > 0 ? room - 1 : 0));
    shown.push_back(QString("\u2026 and %1 more alerts: the window's Grains and Limits panel lists them all.")
                        .arg(alerts.size() - shown.size()));
    return shown;
}

}  // namespace

void PaintSheet(QPainter& painter, const QRectF& page, const SheetContent& content) {
    painter.save();
    painter.setPen(Qt::black);
    SheetPainter sheet(painter, page);
    const double left = page.left(), width = page.width();
    double y = sheet.Heading("Motor design sheet", content.program,
                                   {"File: " + content.file, "Date: " + content.date});

    // The figures side by side: the nozzle and the Kn figures, then the
    // performance with where its propellant's values come from.
    const double first = std::min(width * 0.5, sheet.Mm(90)), caption = sheet.Mm(50);
    double left_y = y;
    left_y += sheet.Text(left, left_y, "Nozzle", 10, true) * 1.2;
    left_y = sheet.Pairs(left, left_y, caption, {{"Throat:", content.throat}, {"Exit:", content.exit}}, first);
    left_y += sheet.Mm(2);
    left_y += sheet.Text(left, left_y, "Kn figures", 10, true) * 1.2;
    left_y = sheet.Pairs(left, left_y, caption, content.summary, first);
    double right_y = y;
    if (!content.performance.empty()) {
        const double right = left + first + sheet.Mm(5), right_width = page.right() - right;
        right_y += sheet.Text(right, right_y, "Performance", 10, true) * 1.2;
        right_y += sheet.Wrapped(right, right_y, content.propellant, 7, right_width) + sheet.Mm(1);
        right_y = sheet.Pairs(right, right_y, sheet.Mm(32), content.performance, right_width);
        if (!content.performance_note.isEmpty()) {
            right_y += sheet.Wrapped(right, right_y, content.performance_note, 7, right_width);
        }
    }
    y = std::max(left_y, right_y) + sheet.Mm(3);
    // What the figures come from, two pairs a row.
    if (!content.design_block.empty()) {
        y += sheet.Text(left, y, "Propellant, nozzle and hardware", 10, true) * 1.2;
        const double column = first + sheet.Mm(5);  // as the columns above
        const std::size_t rows = (content.design_block.size() + 1) / 2;
        double bottom = y;
        for (std::size_t c = 0; c < 2; ++c) {
            const auto from = content.design_block.begin() + static_cast<std::ptrdiff_t>(std::min(c * rows, content.design_block.size()));
            const auto to = content.design_block.begin() + static_cast<std::ptrdiff_t>(std::min((c + 1) * rows, content.design_block.size()));
            bottom = std::max(bottom, sheet.Pairs(left + c * column, y, c == 0 ? caption : sheet.Mm(32), {from, to},
                                                  c == 0 ? first : page.right() - left - column));
        }
        y = bottom + sheet.Mm(3);
    }

    // The lower part of the page: the limits and alerts, the grains (room
    // kept for a table of eight whatever the alerts), and at the foot the
    // graphs (the Kn graph and the thrust curve) as tall as the rest leaves
    // them, from a smallest readable height up to their full one: one under
    // the other, or side by side where the page is short of room.
    const int graph_count = (content.kn_graph ? 1 : 0) + (content.thrust_graph ? 1 : 0);
    const double tallest = sheet.Mm(content.thrust_graph ? 68 : 90), shortest = sheet.Mm(45), gap = sheet.Mm(4);
    const auto grains_room = [&](std::size_t rows) {
        return sheet.Mm(7) + static_cast<double>(rows + 2) * sheet.Mm(3.9);  // heading, headings and units, rows
    };
    // The limits and the alerts, each a sentence, as many as leave that room.
    if (!content.limits.isEmpty()) {
        y += sheet.Text(left, y, "Limits and alerts", 10, true) * 1.2;
        y += sheet.Wrapped(left, y, content.limits, 8, width) + sheet.Mm(0.5);
        const double alert_line = sheet.Mm(3.6);  // one line of 8-point type
        const double free = page.bottom() - y - grains_room(std::min<std::size_t>(content.grains.size(), 8)) -
                            (graph_count > 0 ? shortest + gap : 0.0) - sheet.Mm(3);
        const auto room = static_cast<std::size_t>(std::max(1.0, free / (alert_line * 2.0)));  // two lines each at most
        for (const QString& alert : AlertsThatFit(content.alerts, room)) {
            y += sheet.Wrapped(left, y, "\u2022 " + alert, 8, width) + sheet.Mm(0.3);
        }
        if (content.alerts.empty()) y += sheet.Wrapped(left, y, "No limit crossed.", 8, width);
        y += sheet.Mm(3);
    }
    const double available = page.bottom() - y - grains_room(content.grains.size()) - gap;
    const bool side_by_side = graph_count == 2 && (available - gap) / 2 < sheet.Mm(52);
    double graph_height = 0.0, graphs_top = page.bottom();
    if (graph_count > 0) {
        graph_height = side_by_side ? std::clamp(available, shortest, tallest)
                                    : std::clamp((available - gap * (graph_count - 1)) / graph_count, shortest, tallest);
        graphs_top = page.bottom() - (graph_height + gap) * (side_by_side ? 1 : graph_count);
    }
    y += sheet.Text(left, y, "Grains (the bottom grain is the nozzle end)", 10, true) * 1.2;
    sheet.Grains(left, y, width, graphs_top - sheet.Mm(3), content);
    const double graph_width = side_by_side ? (width - gap) / 2 : width;
    if (content.kn_graph) PaintGraph(painter, *content.kn_graph, QRectF(left, graphs_top, graph_width, graph_height));
    if (content.thrust_graph) {
        const QPointF at = side_by_side ? QPointF(left + graph_width + gap, graphs_top)
                                        : QPointF(left, graphs_top + (content.kn_graph ? graph_height + gap : 0.0));
        PaintGraph(painter, *content.thrust_graph, QRectF(at, QSizeF(graph_width, graph_height)));
    }
    painter.restore();
}

void PaintComparisonPage(QPainter& painter, const QRectF& page, const SheetContent& content) {
    if (!content.comparison) return;
    const SheetContent::Comparison& compared = *content.comparison;
    painter.save();
    painter.setPen(Qt::black);
    SheetPainter sheet(painter, page);
    const double left = page.left(), width = page.width();
    double y = sheet.Heading("Motors compared", content.program, {"File: " + content.file, "Date: " + content.date});
    y = sheet.Table(left, y, width, compared.headings, compared.units, compared.rows) + sheet.Mm(1);
    y += sheet.Wrapped(left, y, "Pressures are absolute. The compared motors are dashed over the design's curves.", 8,
                       width) + sheet.Mm(4);
    const int graphs = (compared.pressure_graph ? 1 : 0) + (compared.thrust_graph ? 1 : 0);
    if (graphs > 0) {
        const double height = std::min(sheet.Mm(100), (page.bottom() - y - sheet.Mm(4) * (graphs - 1)) / graphs);
        for (const auto* graph : {&compared.pressure_graph, &compared.thrust_graph}) {
            if (!*graph) continue;
            PaintGraph(painter, **graph, QRectF(left, y, width, height));
            y += height + sheet.Mm(4);
        }
    }
    painter.restore();
}

DesignSheet::DesignSheet(Document& document, IDialogs& dialogs, KnSummary& summary, MotorPerformance& performance,
                         QWidget* window)
    : document_(document),
      dialogs_(dialogs),
      summary_(summary),
      performance_(performance),
      printing_(std::make_unique<QtPrinting>(window)) {}

DesignSheet::~DesignSheet() = default;

void DesignSheet::SetPrinting(std::unique_ptr<IPrinting> printing) { printing_ = std::move(printing); }

// The compared motors' page: the table as the Compared Motors window shows
// it, and the pressure and thrust views with their curves laid over the
// design's.
SheetContent::Comparison DesignSheet::ComparisonOf(cMotor& motor) const {
    SheetContent::Comparison compared;
    const MotorRun run = RunMotor(motor);
    const MotorComparison::Table table = comparison_->TableFor(run);
    compared.headings = table.headings;
    compared.units = table.units;
    compared.rows = table.rows;
    if (!run.Figures() || motor.GrainCount() <= 0 || !(motor.NozzleDia() > 0.0f)) return compared;
    GraphLite pressure;
    KnMaxOnce kn_max(motor);
    KnCurve curve;
    if (GraphKn(motor, pressure, dialogs_, kn_max, &curve)) {
        AddPressureCurve(pressure, run, curve);
        comparison_->Overlay(pressure, run, curve, MotorComparison::View::kPressure);
        compared.pressure_graph = pressure.Shown();
    }
    if (run.Figures()->has_thrust) {
        GraphLite thrust;
        DrawThrustCurve(thrust, *run.Figures(), comparison_->LongestBurn());
        comparison_->Overlay(thrust, run, curve, MotorComparison::View::kThrust);
        compared.thrust_graph = thrust.Shown();
    }
    return compared;
}

SheetContent DesignSheet::Content() const {
    SheetContent content;
    cMotor& motor = document_.Motor();
    const PerformanceInputs& in = motor.Performance();
    content.program = QString("%1 %2").arg(kProgramTitle, kVersion);
    const QString file = QString::fromStdString(document_.CurrentFile());
    content.file = file.isEmpty() ? QString("(not saved)") : file;
    content.date = QDate::currentDate().toString(Qt::ISODate);
    const DisplayUnits units(in.units);
    content.length_unit = units.LengthWord();
    for (const auto& grain : motor.Grains()) {
        content.grains.push_back(
            {TextOfSingle(grain->Length()), TextOfSingle(grain->Diameter()), TextOfSingle(grain->CoreDiameter())});
    }
    // Lengths with the design's unit beside them, where it has one.
    const QString unit = content.length_unit.isEmpty() ? QString() : " " + content.length_unit;
    content.throat = motor.NozzleDia() > 0.0f ? TextOfSingle(motor.NozzleDia()) + unit : QString("\u2014");
    content.exit = in.nozzle_exit_dia && *in.nozzle_exit_dia > 0.0f ? TextOfSingle(*in.nozzle_exit_dia) + unit
                                                                     : QString("none (no divergent part)");

    const KnSummary::Figures shown = summary_.Shown();
    content.summary = {{"Initial kn:", shown.kn},
                       {"Max kn:", shown.max_kn},
                       {"Web:", shown.web.isEmpty() ? shown.web : shown.web + unit},
                       {"Nozzle/Grain core area ratio:", shown.ratio},
                       {"Vol. Loading:", shown.volume_loading}};
    const MotorPerformance::Shown group = performance_.Current();
    if (group.grains.visible) {
        for (const auto& row : group.grains.rows) content.grain_figures.push_back({row[1], row[2], row[3], row[4]});
        content.flux_unit = units.MassFluxShortWord();
        for (const auto& alert : group.grains.alerts) content.alerts.push_back(alert.second);
        const DesignLimits limits = LimitsOf(in);
        const auto number = [](double value) { return TextOfDouble(RoundDecimals(value, 3)); };
        content.limits = "Held to: casing's rating " +
                         (limits.max_pressure ? number(*limits.max_pressure / units.PascalsPerPressure()) + " " +
                                                    units.PressureWord()
                                              : QString("none given")) +
                         "; mass flux at most " + number(limits.max_mass_flux / units.MassFluxPer()) + " " +
                         units.MassFluxWord() +
                         "; port-to-throat ratio at least " + number(limits.min_port_throat) + ".";
    }
    if (group.visible) {
        content.propellant = PropellantLine(motor) + DeparturesText(motor);
        content.design_block = DesignBlock(motor);
        for (size_t i = 0; i < MotorPerformance::kCaptions.size(); ++i) {
            content.performance.emplace_back(MotorPerformance::kCaptions[i], group.texts[i]);
        }
        content.performance_note = group.texts.back();
    }

    // The graphs afresh from the design: the Kn look (whatever view the
    // window shows), with the pressure curve, and the thrust curve.
    if (motor.GrainCount() > 0 && motor.NozzleDia() > 0.0f) {
        GraphLite graph;
        KnMaxOnce kn_max(motor);
        KnCurve curve;
        if (GraphKn(motor, graph, dialogs_, kn_max, &curve)) {
            const MotorRun run = RunMotor(motor);
            if (run.Figures()) {
                AddPressureCurve(graph, run, curve);
                if (run.Figures()->has_thrust) {
                    GraphLite thrust;
                    DrawThrustCurve(thrust, *run.Figures());
                    content.thrust_graph = thrust.Shown();
                }
            }
            content.kn_graph = graph.Shown();
        }
    }
    if (!in.static_firings.empty()) content.firings = FiringsOfDesign(motor);
    if (comparison_ && comparison_->Active()) content.comparison = ComparisonOf(motor);
    return content;
}

QByteArray DesignSheet::Pdf(const SheetContent& content) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
        writer.setPageLayout(QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setResolution(600);
        writer.setTitle("Motor design sheet: " + content.file);
        writer.setCreator(content.program);
        QPainter painter(&writer);
        PaintSheet(painter, QRectF(0, 0, writer.width(), writer.height()), content);
        if (content.firings) {
            writer.newPage();
            PaintFiringsPage(painter, QRectF(0, 0, writer.width(), writer.height()), *content.firings, content.program,
                             content.file);
        }
        if (content.comparison) {
            writer.newPage();
            PaintComparisonPage(painter, QRectF(0, 0, writer.width(), writer.height()), content);
        }
    }
    return bytes;
}


void DesignSheet::mnuExportSheet_Click() {
    Guarded(dialogs_, "ExportSheet", [&] {
        FileDialogRequest request{"PDF Files(*.pdf)| *.pdf| All Files(*.*)| *.*",
                                  document_.ExportFolder(), ".pdf", "Export design sheet",
                                  0x2 | 0x800, document_.ExportName(".pdf")};
        const FileDialogResult chosen = dialogs_.ShowSave(request);
        if (chosen.file_name.isEmpty()) return;
        const QByteArray pdf = Pdf(Content());
        WriteFileAtomically(chosen.file_name.toStdString(),
                            std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
        document_.ExportedTo(chosen.file_name);
    });
}

void DesignSheet::mnuPrint_Click() {
    if (!printing_->HasPrinter()) {
        dialogs_.MsgBox("No printer is set up on this system. File > Export Sheet writes the same page as a PDF file, "
                        "to print elsewhere.",
                        MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    Guarded(dialogs_, "PrintSheet", [&] {
        const SheetContent content = Content();
        std::vector<PagePainter> pages = {[&](QPainter& painter, const QRectF& page) { PaintSheet(painter, page, content); }};
        if (content.firings) {
            pages.push_back([&](QPainter& painter, const QRectF& page) {
                PaintFiringsPage(painter, page, *content.firings, content.program, content.file);
            });
        }
        if (content.comparison) {
            pages.push_back([&](QPainter& painter, const QRectF& page) { PaintComparisonPage(painter, page, content); });
        }
        printing_->Print("Motor design sheet: " + content.file, pages);
    });
}

}  // namespace thrustlet
