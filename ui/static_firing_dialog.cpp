#include "ui/static_firing_dialog.h"
#include "ui/named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "model/errors.h"
#include "model/propellant_library.h"
#include "platform/graph_lite.h"
#include "platform/locale_number.h"
#include "platform/qt_dialogs.h"
#include "thrustlet/identity.h"
#include "ui/firing_graphs.h"
#include "ui/graph_export.h"

namespace thrustlet {

StaticFiringDialog::StaticFiringDialog(const cMotor& design, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent), design_(design.DetachedCopy()), dialogs_(dialogs) {
    setObjectName("dlgStaticFiring");
    setWindowTitle("Static Firing");
    const bool inch = design_.Performance().units == LengthUnit::kInch;
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout();
    layout->addLayout(columns);

    // The firings and what the selected one measured.
    auto* left = new QVBoxLayout();
    columns->addLayout(left, 2);
    auto* list_group = new QGroupBox("Firings", this);
    auto* list_layout = new QVBoxLayout(list_group);
    lstFirings = Named(new QListWidget(list_group), "lstFirings");
    list_layout->addWidget(lstFirings);
    auto* list_buttons = new QHBoxLayout();
    auto* add = Named(new QPushButton("&Add\u2026", list_group), "cmdAddFiring");
    auto* remove = Named(new QPushButton("&Remove", list_group), "cmdRemoveFiring");
    list_buttons->addWidget(add);
    list_buttons->addWidget(remove);
    list_buttons->addStretch();
    list_layout->addLayout(list_buttons);
    auto* options = new QFormLayout();
    txtUnits = Named(new QLineEdit(list_group), "txtUnits");
    txtUnits->setPlaceholderText("time=ms,force=lbf,pressure=psi");
    txtUnits->setToolTip("The log's units where its header does not name them");
    options->addRow("&Units:", txtUnits);
    chkAbsolute = Named(new QCheckBox("Pressures are &absolute (not gauge)", list_group), "chkAbsolute");
    options->addRow(chkAbsolute);
    list_layout->addLayout(options);
    left->addWidget(list_group);
    grdFigures = Named(new QTableWidget(12, 3, this), "grdFigures");
    grdFigures->setHorizontalHeaderLabels({"Measured", "Predicted", "Difference"});
    grdFigures->setVerticalHeaderLabels(FiringCaptions(inch));
    grdFigures->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdFigures->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdFigures->verticalHeader()->setDefaultSectionSize(grdFigures->fontMetrics().height() + 8);
    grdFigures->setMinimumWidth(grdFigures->verticalHeader()->sizeHint().width() + 3 * 90);
    grdFigures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    left->addWidget(grdFigures);

    // The graphs and the fit.
    auto* right = new QVBoxLayout();
    columns->addLayout(right, 3);
    grFiring = Named(new GraphLite(this), "grFiring");
    grFiring->setMinimumSize(460, 220);
    right->addWidget(grFiring, 1);
    grBurnRate = Named(new GraphLite(this), "grBurnRate");
    grBurnRate->setMinimumSize(460, 220);
    right->addWidget(grBurnRate, 1);
    auto* fit_group = new QGroupBox("Burn-rate law r = a P\u207f from the firings", this);
    auto* fit_form = new QFormLayout(fit_group);
    cboPoints = Named(new QComboBox(fit_group), "cboPoints");
    cboPoints->addItems({"One point a firing (web over burn time)", "Every moment of each firing (pressure integral)"});
    fit_form->addRow("&Points:", cboPoints);
    txtBreaks = Named(new QLineEdit(fit_group), "txtBreaks");
    txtBreaks->setPlaceholderText("none: one law");
    fit_form->addRow(inch ? "&Break pressures (psi):" : "&Break pressures (MPa):", txtBreaks);
    grdStrand = Named(new QTableWidget(0, 2, fit_group), "grdStrand");
    grdStrand->setHorizontalHeaderLabels({inch ? "Pressure (psi)" : "Pressure (MPa)", inch ? "Rate (in/s)" : "Rate (mm/s)"});
    grdStrand->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdStrand->setMaximumHeight(110);
    fit_form->addRow("Strand burner:", grdStrand);
    auto* strand_buttons = new QHBoxLayout();
    auto* add_strand = Named(new QPushButton("Add &Point", fit_group), "cmdAddStrand");
    auto* remove_strand = Named(new QPushButton("Remove P&oint", fit_group), "cmdRemoveStrand");
    auto* fit = Named(new QPushButton("&Fit", fit_group), "cmdFit");
    strand_buttons->addWidget(add_strand);
    strand_buttons->addWidget(remove_strand);
    strand_buttons->addStretch();
    strand_buttons->addWidget(fit);
    fit_form->addRow(strand_buttons);
    chkCStar = Named(new QCheckBox("Take the measured c* too (c* times the firings' efficiency)", fit_group), "chkCStar");
    fit_form->addRow(chkCStar);
    lblFit = Named(new QLabel(fit_group), "lblFit");
    lblFit->setWordWrap(true);
    lblFit->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fit_form->addRow(lblFit);
    right->addWidget(fit_group);

    auto* buttons = new QDialogButtonBox(this);
    auto* use = Named(buttons->addButton("&Use This Law", QDialogButtonBox::ActionRole), "cmdUseLaw");
    buttons->addButton(QDialogButtonBox::Close);
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    AddImageMenu(*grFiring, dialogs_);
    AddImageMenu(*grBurnRate, dialogs_);
    connect(add, &QPushButton::clicked, this, &StaticFiringDialog::AddClicked);
    connect(remove, &QPushButton::clicked, this, [this] { RemoveFiring(lstFirings->currentRow()); });
    connect(lstFirings, &QListWidget::currentRowChanged, this, &StaticFiringDialog::SelectFiring);
    connect(txtUnits, &QLineEdit::editingFinished, this, [this] {
        const int row = lstFirings->currentRow();
        if (row < 0 || row >= static_cast<int>(loaded_.size())) return;
        loaded_[static_cast<size_t>(row)].source.units = txtUnits->text().trimmed().toStdString();
        Reload(row);
        ShowPoints();
    });
    connect(chkAbsolute, &QCheckBox::toggled, this, [this](bool absolute) {
        const int row = lstFirings->currentRow();
        if (row < 0 || row >= static_cast<int>(loaded_.size()) || loaded_[static_cast<size_t>(row)].source.absolute == absolute) return;
        loaded_[static_cast<size_t>(row)].source.absolute = absolute;
        Reload(row);
        ShowPoints();
    });
    connect(add_strand, &QPushButton::clicked, this, [this] {
        const int row = grdStrand->rowCount();
        grdStrand->insertRow(row);
        grdStrand->setItem(row, 0, new QTableWidgetItem());
        grdStrand->setItem(row, 1, new QTableWidgetItem());
    });
    connect(remove_strand, &QPushButton::clicked, this, [this] {
        if (grdStrand->rowCount() > 0) grdStrand->removeRow(std::max(0, grdStrand->currentRow()));
        ShowPoints();
    });
    connect(grdStrand, &QTableWidget::itemChanged, this, [this] { ShowPoints(); });
    connect(cboPoints, &QComboBox::currentIndexChanged, this, [this] { ShowPoints(); });
    connect(fit, &QPushButton::clicked, this, [this] { Fit(); });
    connect(use, &QPushButton::clicked, this, &StaticFiringDialog::UseThisLaw);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Close), &QPushButton::clicked, this, &QDialog::accept);

    if (const std::optional<Firing> model = PredictedFiring(design_)) {
        try {
            predicted_ = AnalyseFiring(*model, design_);
        } catch (const RunTimeError&) {
        }
    }
    for (const auto& firing : design_.Performance().static_firings) AddFiring(firing);
    if (loaded_.empty()) ShowFigures();
    ShowPoints();
}

StaticFiringDialog::~StaticFiringDialog() = default;

// Reads a firing's log again (after its units or gauge changed).
void StaticFiringDialog::Reload(int row) {
    FiringRecord& record = loaded_[static_cast<size_t>(row)];
    record = LoadFiring(record.source, design_);
    SelectFiring(row);
}

void StaticFiringDialog::AddFiring(const PerformanceInputs::StaticFiring& firing) { AddRecord(LoadFiring(firing, design_)); }

void StaticFiringDialog::AddRecord(FiringRecord record) {
    loaded_.push_back(std::move(record));
    new QListWidgetItem(lstFirings);
    lstFirings->setCurrentRow(static_cast<int>(loaded_.size()) - 1);  // shows it
    ShowPoints();
}

void StaticFiringDialog::RemoveFiring(int row) {
    if (row < 0 || row >= static_cast<int>(loaded_.size())) return;
    loaded_.erase(loaded_.begin() + row);
    delete lstFirings->takeItem(row);
    SelectFiring(lstFirings->currentRow());
    ShowPoints();
}

void StaticFiringDialog::AddClicked() {
    FileDialogRequest request;
    request.filter = "Firing logs(*.csv *.txt *.tsv *.dat *.log)| *.csv;*.txt;*.tsv;*.dat;*.log| All Files(*.*)| *.*";
    request.title = "Add a static firing's log";
    request.flags = 0x80804;
    const FileDialogResult chosen = dialogs_.ShowOpen(request);
    if (chosen.file_name.isEmpty()) return;
    PerformanceInputs::StaticFiring firing;
    firing.path = chosen.file_name.toStdString();
    firing.units = txtUnits->text().trimmed().toStdString();
    firing.absolute = chkAbsolute->isChecked();
    // A log that cannot be read is not added: the design keeps only logs it
    // could use, and a missing one only when it went missing later. With
    // no firing selected, the units and the absolute box then speak for the
    // next log added.
    FiringRecord record = LoadFiring(firing, design_);
    if (!record.problem.isEmpty()) {
        lstFirings->setCurrentRow(-1);
        dialogs_.MsgBox(record.FileName() + " cannot be used as a firing: " + record.problem + ".", MsgButtons::kOk,
                        MsgIcon::kInformation, kProgramTitle);
        return;
    }
    AddRecord(std::move(record));
}

void StaticFiringDialog::SelectFiring(int row) {
    if (row >= 0 && row < static_cast<int>(loaded_.size())) {
        const FiringRecord& record = loaded_[static_cast<size_t>(row)];
        const QSignalBlocker quiet_units(txtUnits), quiet_absolute(chkAbsolute);
        txtUnits->setText(QString::fromStdString(record.source.units));
        chkAbsolute->setChecked(record.source.absolute);
        QListWidgetItem* item = lstFirings->item(row);
        item->setText(record.ListText());
        item->setToolTip(QString::fromStdString(record.source.path) + (record.problem.isEmpty() ? "" : "\n" + record.problem));
        grFiring->SetNote(record.firing ? QString() : record.FileName() + ": " + record.problem);
        DrawFiringOverPrediction(*grFiring, design_, record.firing ? &*record.firing : nullptr,
                                 record.figures ? record.figures->ignition : 0.0);
    } else {
        grFiring->SetNote(QString());
        DrawFiringOverPrediction(*grFiring, design_, nullptr, 0.0);
    }
    ShowFigures();
}

void StaticFiringDialog::ShowFigures() {
    const int row = lstFirings->currentRow();
    const FiringFigures* measured =
        row >= 0 && row < static_cast<int>(loaded_.size()) && loaded_[static_cast<size_t>(row)].figures
            ? &*loaded_[static_cast<size_t>(row)].figures
            : nullptr;
    const bool inch = design_.Performance().units == LengthUnit::kInch;
    const auto m = FiringValues(measured, inch), p = FiringValues(predicted_ ? &*predicted_ : nullptr, inch);
    for (int r = 0; r < static_cast<int>(m.size()); ++r) {
        const auto set = [&](int c, const QString& text) {
            auto* item = grdFigures->item(r, c);
            if (!item) grdFigures->setItem(r, c, item = new QTableWidgetItem());
            item->setText(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        };
        set(0, FiringFigureText(m[static_cast<size_t>(r)]));
        set(1, FiringFigureText(p[static_cast<size_t>(r)]));
        set(2, FiringDifferenceText(m[static_cast<size_t>(r)], p[static_cast<size_t>(r)]));
    }
}

std::vector<BurnRatePoint> StaticFiringDialog::Points() const {
    std::vector<BurnRatePoint> points;
    const bool instant = cboPoints->currentIndex() == 1;
    for (const FiringRecord& loaded : loaded_) {
        if (!loaded.firing || !loaded.figures || !loaded.firing->HasPressure()) continue;
        const std::string source = loaded.FileName().toStdString();
        if (instant) {
            for (const BurnRatePoint& p : InstantBurnRatePoints(*loaded.firing, *loaded.figures, design_, source)) points.push_back(p);
        } else {
            points.push_back(AverageBurnRatePoint(*loaded.figures, design_, source));
        }
    }
    const bool inch = design_.Performance().units == LengthUnit::kInch;
    for (int row = 0; row < grdStrand->rowCount(); ++row) {
        const QTableWidgetItem* pressure = grdStrand->item(row, 0);
        const QTableWidgetItem* rate = grdStrand->item(row, 1);
        if (!pressure || !rate || !IsNumeric(pressure->text()) || !IsNumeric(rate->text())) continue;
        try {
            points.push_back({FieldToDouble(pressure->text()) * (inch ? kPascalsPerPsi : kPascalsPerMegapascal),
                              FieldToDouble(rate->text()) * (inch ? 0.0254 : 0.001), "strand burner"});
        } catch (const std::exception&) {
        }
    }
    return points;
}

void StaticFiringDialog::ShowPoints() {
    const std::optional<FittedLaw> fitted = fit_.Ok() ? std::optional<FittedLaw>(LawOfFit(fit_)) : std::nullopt;
    DrawBurnRatePoints(*grBurnRate, design_, Points(), fitted);
}

QString StaticFiringDialog::FittedText() const {
    const bool inch = design_.Performance().units == LengthUnit::kInch;
    QString text;
    for (const FitPiece& piece : fit_.pieces) {
        const double shown_a = inch ? CoefficientInInchesPerSecond(static_cast<float>(piece.a), piece.n)
                                    : CoefficientInMmPerSecond(static_cast<float>(piece.a), piece.n);
        const double per = inch ? kPascalsPerPsi : kPascalsPerMegapascal;
        text += QString("From %1 to %2 %3 (%4 points): a = %5, n = %6 (r in %7, P in %3; in SI a = %8 with m/s and Pa).\n")
                    .arg(FiringFigureText(piece.p_min / per, 3), FiringFigureText(piece.p_max / per, 3), inch ? "psi" : "MPa")
                    .arg(piece.points)
                    .arg(FiringFigureText(shown_a, 4), FiringFigureText(piece.n, 3), inch ? "in/s" : "mm/s")
                    .arg(QString::number(piece.a, 'g', 6));
    }
    double worst = 0.0;
    for (double r : fit_.residuals) worst = std::max(worst, std::fabs(r));
    text += QString("R\u00b2 = %1; the farthest point is %2 % off the law.").arg(FiringFigureText(fit_.r2, 4), FiringFigureText(100.0 * worst, 2));
    return text;
}

bool StaticFiringDialog::Fit() {
    std::vector<double> breaks;
    const bool inch = design_.Performance().units == LengthUnit::kInch;
    for (const QString& part : txtBreaks->text().split(QRegularExpression("[;\\s]+"), Qt::SkipEmptyParts)) {
        if (!IsNumeric(part)) {
            lblFit->setText("The break pressures must be numbers, parted by spaces or semicolons.");
            return false;
        }
        breaks.push_back(FieldToDouble(part) * (inch ? kPascalsPerPsi : kPascalsPerMegapascal));
    }
    fit_ = FitBurnRate(Points(), breaks);
    if (!fit_.Ok()) {
        QString problem = QString::fromStdString(fit_.problem);
        problem[0] = problem[0].toUpper();
        lblFit->setText(problem + ".");
    } else {
        lblFit->setText(FittedText());
    }
    ShowPoints();
    return fit_.Ok();
}

void StaticFiringDialog::UseThisLaw() {
    if (!fit_.Ok() && !Fit()) {
        dialogs_.MsgBox("There is no law to use: " + lblFit->text(), MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
        return;
    }
    use_law_ = true;
    accept();
}

FiringChoice StaticFiringDialog::Choice() const {
    FiringChoice choice;
    for (const FiringRecord& loaded : loaded_) choice.firings.push_back(loaded.source);
    if (use_law_ && fit_.Ok()) {
        choice.law = LawOfFit(fit_);
        if (chkCStar->isChecked()) {
            double sum = 0.0;
            int count = 0;
            for (const FiringRecord& loaded : loaded_) {
                if (loaded.figures && loaded.figures->cstar_efficiency) sum += *loaded.figures->cstar_efficiency, ++count;
            }
            if (count > 0) choice.c_star = static_cast<float>(design_.ISPStar() * sum / count);
        }
    }
    return choice;
}

std::optional<FiringChoice> QtFiringEditor::Edit(const cMotor& design, QWidget* parent) {
    QtDialogs dialogs;
    StaticFiringDialog dialog(design, dialogs, parent);
    dialogs.SetParent(&dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

}  // namespace thrustlet
