#include "ui/static_firing_dialog.h"
#include "ui/named.h"

#include <QBrush>
#include <QCheckBox>
#include <QColor>
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
    : QDialog(parent), run_(RunMotor(design)), dialogs_(dialogs) {
    setObjectName("dlgStaticFiring");
    setWindowTitle("Static Firing");
    const DisplayUnits units = run_.Units();
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
    // A hint, not a value: what to type where the log's header names no unit.
    txtUnits->setPlaceholderText("e.g. time=ms, force=lbf, pressure=psi");
    txtUnits->setToolTip("The log's units where its header does not name them");
    options->addRow("&Units:", txtUnits);
    chkAbsolute = Named(new QCheckBox("Pressures are &absolute (not gauge)", list_group), "chkAbsolute");
    options->addRow(chkAbsolute);
    list_layout->addLayout(options);
    left->addWidget(list_group);
    grdFigures = Named(new QTableWidget(12, 3, this), "grdFigures");
    grdFigures->setHorizontalHeaderLabels({"Measured", "Predicted", "Difference"});
    grdFigures->setVerticalHeaderLabels(FiringCaptions(units));
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
    cboPoints->addItems({"One point a firing (web over burn time)", "Every moment of each firing (pressure integral)",
                         "The whole pressure traces, by the full model (with c* and nozzle efficiencies)"});
    fit_form->addRow("&Points:", cboPoints);
    chkErosive = Named(new QCheckBox("Fit &erosive burning too (Lenoir-Robillard alpha and beta)", fit_group), "chkErosive");
    chkErosive->setEnabled(false);
    fit_form->addRow(chkErosive);
    txtBreaks = Named(new QLineEdit(fit_group), "txtBreaks");
    txtBreaks->setPlaceholderText("none: one law");
    fit_form->addRow(QString("&Break pressures (%1):").arg(units.PressureWord()), txtBreaks);
    grdStrand = Named(new QTableWidget(0, 2, fit_group), "grdStrand");
    grdStrand->setHorizontalHeaderLabels(
        {QString("Pressure (%1)").arg(units.PressureWord()), QString("Rate (%1)").arg(units.RateWord())});
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
    // A law fitted from the chamber pressure belongs with the c* that
    // pressure was measured at: taken by default.
    chkCStar = Named(new QCheckBox("Take the measured c* too, as the combustion efficiency (the law was fitted at it)",
                                   fit_group),
                     "chkCStar");
    chkCStar->setChecked(true);
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
    connect(cboPoints, &QComboBox::currentIndexChanged, this, [this] {
        chkErosive->setEnabled(TraceMode());
        chkCStar->setEnabled(!TraceMode());  // a trace fit finds the combustion efficiency itself
        trace_fit_.reset();
        SelectFiring(lstFirings->currentRow());
        ShowPoints();
    });
    connect(chkErosive, &QCheckBox::toggled, this, [this] { trace_fit_.reset(); });
    connect(fit, &QPushButton::clicked, this, [this] { Fit(); });
    connect(use, &QPushButton::clicked, this, &StaticFiringDialog::UseThisLaw);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Close), &QPushButton::clicked, this, &QDialog::accept);

    predicted_ = PredictedFiringFigures(run_);
    // The design's firings, each read once; the last shown, and the points
    // of all of them gathered once (not again for each one added).
    for (const auto& firing : run_.Design().Performance().static_firings) {
        loaded_.push_back(FiringRecord(LoadFiring(firing, run_)));
        new QListWidgetItem(lstFirings);
        ShowItem(static_cast<int>(loaded_.size()) - 1);
    }
    if (loaded_.empty()) {
        ShowFigures();
    } else {
        lstFirings->setCurrentRow(static_cast<int>(loaded_.size()) - 1);
    }
    ShowPoints();
}

StaticFiringDialog::~StaticFiringDialog() = default;

// Reads a firing's log again (after its units or gauge changed).
void StaticFiringDialog::Reload(int row) {
    FiringRecord& record = loaded_[static_cast<size_t>(row)];
    record = FiringRecord(LoadFiring(record.source, run_));
    trace_fit_.reset();
    SelectFiring(row);
}

void StaticFiringDialog::AddFiring(const PerformanceInputs::StaticFiring& firing) {
    AddRecord(FiringRecord(LoadFiring(firing, run_)));
}

void StaticFiringDialog::AddRecord(FiringRecord record) {
    loaded_.push_back(std::move(record));
    trace_fit_.reset();
    new QListWidgetItem(lstFirings);
    lstFirings->setCurrentRow(static_cast<int>(loaded_.size()) - 1);  // shows it
    ShowPoints();
}

void StaticFiringDialog::RemoveFiring(int row) {
    if (row < 0 || row >= static_cast<int>(loaded_.size())) return;
    loaded_.erase(loaded_.begin() + row);
    trace_fit_.reset();
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
    FiringRecord record(LoadFiring(firing, run_));
    if (!record.problem.empty()) {
        lstFirings->setCurrentRow(-1);
        dialogs_.MsgBox(record.FileName() + " cannot be used as a firing: " + record.Problem() + ".", MsgButtons::kOk,
                        MsgIcon::kInformation, kProgramTitle);
        return;
    }
    AddRecord(std::move(record));
}

// The list's line of a firing: its name and figures, its path (and what
// went wrong) as the tool tip.
void StaticFiringDialog::ShowItem(int row) {
    const FiringRecord& record = loaded_[static_cast<size_t>(row)];
    QListWidgetItem* item = lstFirings->item(row);
    item->setText(record.ListText());
    item->setToolTip(QString::fromStdString(record.source.path) + (record.problem.empty() ? "" : "\n" + record.Problem()));
}

void StaticFiringDialog::SelectFiring(int row) {
    if (row >= 0 && row < static_cast<int>(loaded_.size())) {
        const FiringRecord& record = loaded_[static_cast<size_t>(row)];
        const QSignalBlocker quiet_units(txtUnits), quiet_absolute(chkAbsolute);
        txtUnits->setText(QString::fromStdString(record.source.units));
        chkAbsolute->setChecked(record.source.absolute);
        ShowItem(row);
        // A log read with figures no motor has says what to check.
        QString note = record.firing ? QString() : record.FileName() + ": " + record.Problem();
        if (record.figures) {
            for (const std::string& warning : ImplausibleFigures(*record.figures, predicted_)) {
                QString text = QString::fromStdString(warning);
                text[0] = text[0].toUpper();
                note += (note.isEmpty() ? "" : " ") + text + ".";
            }
        }
        grFiring->SetNote(note);
        DrawFiringOverPrediction(*grFiring, run_, record.firing ? &*record.firing : nullptr,
                                 record.figures ? record.figures->ignition : 0.0, FittedTraceOf(row));
    } else {
        grFiring->SetNote(QString());
        DrawFiringOverPrediction(*grFiring, run_, nullptr, 0.0);
    }
    ShowFigures();
}

void StaticFiringDialog::ShowFigures() {
    const int row = lstFirings->currentRow();
    const FiringFigures* measured =
        row >= 0 && row < static_cast<int>(loaded_.size()) && loaded_[static_cast<size_t>(row)].figures
            ? &*loaded_[static_cast<size_t>(row)].figures
            : nullptr;
    const DisplayUnits units = run_.Units();
    const auto m = FiringValues(measured, units), p = FiringValues(predicted_ ? &*predicted_ : nullptr, units);
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
    // A thrust coefficient above the ideal nozzle's is no nozzle's: the
    // pressure reading is low or lags the chamber's.
    const std::optional<double>& cf = m.back();
    QTableWidgetItem* cf_item = grdFigures->item(static_cast<int>(m.size()) - 1, 0);
    const bool suspicious = cf && *cf > 1.0;
    cf_item->setBackground(suspicious ? QBrush(QColor(255, 255, 0)) : QBrush());
    cf_item->setToolTip(suspicious ? "Above 1, more than an ideal nozzle gives: the pressure reading is low or lags the "
                                     "chamber's (check the transducer and its line)"
                                   : QString());
}

}  // namespace thrustlet
