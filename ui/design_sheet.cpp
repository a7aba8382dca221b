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

}  // namespace

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
