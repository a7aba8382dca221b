#include "ui/propellant_dialog.h"
#include "ui/named.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/propellant_library.h"
#include "platform/locale_number.h"
#include "ui/report.h"
#include "ui/propellant_fields.h"

namespace thrustlet {

namespace {

constexpr int kNone = 0, kInches = 1, kMillimetres = 2;

}  // namespace

PropellantDialog::PropellantDialog(const PropellantChoice& current, IDialogs& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setObjectName("dlgPropellant");
    setWindowTitle("Propellant");
    // The propellant and the nozzle on the left, the burn-rate law on the
    // right, so the dialog fits a small screen's height.
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout();
    auto* left = new QVBoxLayout();
    columns->addLayout(left);
    layout->addLayout(columns);

    auto* propellant = new QGroupBox("Propellant", this);
    auto* form = new QFormLayout(propellant);
    cboLibrary = Named(new QComboBox(propellant), "cboLibrary");
    // The list's long descriptions must not widen the dialog past a small screen.
    cboLibrary->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboLibrary->setMinimumContentsLength(34);
    cboLibrary->addItem("Typed in");
    for (const LibraryPropellant& entry : PropellantLibrary()) {
        cboLibrary->addItem(QString::fromStdString(entry.name + " (" + entry.description + ")"));
    }
    auto* library_row = new QHBoxLayout();
    library_row->addWidget(cboLibrary, 1);
    auto* import = Named(new QPushButton("I&mport from File\u2026", propellant), "cmdImportPropellant");
    import->setToolTip("Take the propellant of a motor file: Thrustlet's, openMotor's or BurnSim's");
    library_row->addWidget(import);
    auto* library_label = new QLabel("&Library:", propellant);
    library_label->setBuddy(cboLibrary);
    form->addRow(library_label, library_row);
    lblSource = Named(new QLabel(propellant), "lblSource");
    lblSource->setWordWrap(true);
    lblSource->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSource->hide();
    form->addRow(lblSource);
    txtName = Named(new QLineEdit(propellant), "txtName");
    form->addRow("&Name:", txtName);
    cboUnits = Named(new QComboBox(propellant), "cboUnits");
    cboUnits->addItems({"None (Kn figures only)", "Inches", "Millimetres"});
    form->addRow("Lengths &in:", cboUnits);
    txtCStar = Named(new QLineEdit(propellant), "txtCStar");
    form->addRow("c* (m/s):", txtCStar);
    txtDensity = Named(new QLineEdit(propellant), "txtDensity");
    form->addRow("Density (kg/m\u00b3):", txtDensity);
    txtK = Named(new QLineEdit(propellant), "txtK");
    txtK->setPlaceholderText("none: no thrust figures");
    form->addRow("Specific heat ratio k:", txtK);
    left->addWidget(propellant);

    auto* rate = new QGroupBox("Burn rate r = a P\u207f", this);
    auto* rate_form = new QFormLayout(rate);
    lblCoefficient = new QLabel(rate);
    txtA = Named(new QLineEdit(rate), "txtA");
    rate_form->addRow(lblCoefficient, txtA);
    txtN = Named(new QLineEdit(rate), "txtN");
    rate_form->addRow("n:", txtN);
    grdPieces = Named(new QTableWidget(0, 4, rate), "grdPieces");
    grdPieces->verticalHeader()->hide();
    grdPieces->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Room for five pieces (the library's laws) without scrolling.
    grdPieces->setMinimumHeight(grdPieces->horizontalHeader()->sizeHint().height() +
                                5 * grdPieces->verticalHeader()->defaultSectionSize() + 2 * grdPieces->frameWidth());
    rate_form->addRow(new QLabel("Pieces (they replace a and n when there are any):", rate));
    rate_form->addRow(grdPieces);
    auto* add = Named(new QPushButton("&Add Piece", rate), "cmdAddPiece");
    auto* remove = Named(new QPushButton("&Remove Piece", rate), "cmdRemovePiece");
    auto* buttons_row = new QHBoxLayout();
    buttons_row->addWidget(add);
    buttons_row->addWidget(remove);
    buttons_row->addStretch();
    rate_form->addRow(buttons_row);
    columns->addWidget(rate);
    auto* losses = new QVBoxLayout();
    losses->addWidget(CreateLossesGroup());
    losses->addStretch();
    columns->addLayout(losses);

    auto* nozzle = new QGroupBox("Nozzle", this);
    auto* nozzle_form = new QFormLayout(nozzle);
    lblExit = new QLabel(nozzle);
    txtExit = Named(new QLineEdit(nozzle), "txtExit");
    txtExit->setPlaceholderText("none: no divergent part");
    nozzle_form->addRow(lblExit, txtExit);
    txtEfficiency = Named(new QLineEdit(nozzle), "txtEfficiency");
    txtEfficiency->setPlaceholderText("1");
    nozzle_form->addRow("E&fficiency (0 to 1):", txtEfficiency);
    lblAmbient = new QLabel(nozzle);
    txtAmbient = Named(new QLineEdit(nozzle), "txtAmbient");
    txtAmbient->setPlaceholderText("sea level");
    nozzle_form->addRow(lblAmbient, txtAmbient);
    // The motor's hardware, for a simulator's engine file.
    lblCaseDiameter = new QLabel(nozzle);
    txtCaseDiameter = Named(new QLineEdit(nozzle), "txtCaseDiameter");
    txtCaseDiameter->setPlaceholderText("none: the grains'");
    nozzle_form->addRow(lblCaseDiameter, txtCaseDiameter);
    lblCaseLength = new QLabel(nozzle);
    txtCaseLength = Named(new QLineEdit(nozzle), "txtCaseLength");
    txtCaseLength->setPlaceholderText("none: the grains'");
    nozzle_form->addRow(lblCaseLength, txtCaseLength);
    txtHardwareMass = Named(new QLineEdit(nozzle), "txtHardwareMass");
    txtHardwareMass->setPlaceholderText("none");
    nozzle_form->addRow("&Hardware mass (kg):", txtHardwareMass);
    left->addWidget(nozzle);
    left->addStretch();

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(box);

    connect(box, &QDialogButtonBox::accepted, this, &PropellantDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, [this] { AddPiece({}); });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (grdPieces->rowCount() > 0) grdPieces->removeRow(std::max(0, grdPieces->currentRow()));
    });
    connect(cboLibrary, &QComboBox::activated, this, &PropellantDialog::PickLibrary);
    connect(import, &QPushButton::clicked, this, &PropellantDialog::ImportPropellant);
    connect(cboUnits, &QComboBox::currentIndexChanged, this, &PropellantDialog::UnitChanged);

    shown_unit_ = current.inputs.units;
    molar_mass_ = current.inputs.molar_mass;
    cboUnits->setCurrentIndex(!current.inputs.units ? kNone
                              : *current.inputs.units == LengthUnit::kInch ? kInches
                                                                          : kMillimetres);
    ShowChoice(current);
}

std::optional<LengthUnit> PropellantDialog::Unit() const {
    switch (cboUnits->currentIndex()) {
        case kInches:
            return LengthUnit::kInch;
        case kMillimetres:
            return LengthUnit::kMillimetre;
        default:
            return std::nullopt;
    }
}

// The labels name the units the fields are shown in.
void PropellantDialog::ShowUnits() {
    const DisplayUnits units(shown_unit_);
    const QString pressure = units.PressureWord(), rate = units.RateWord();
    lblCoefficient->setText(QString("a (%1 at P in %2):").arg(rate, pressure));
    lblAmbient->setText(QString("Ambient pressure (%1):").arg(pressure));
    const QString unit = !shown_unit_ ? QString() : QString(" (%1)").arg(units.LengthWord());
    lblExit->setText("&Exit diameter" + unit + ":");
    lblExit->setBuddy(txtExit);
    lblCaseDiameter->setText("Case &diameter" + unit + ":");
    lblCaseDiameter->setBuddy(txtCaseDiameter);
    lblCaseLength->setText("Case len&gth" + unit + ":");
    lblCaseLength->setBuddy(txtCaseLength);
    grdPieces->setHorizontalHeaderLabels({QString("From (%1)").arg(pressure), QString("To (%1)").arg(pressure),
                                          QString("a (%1)").arg(rate), "n"});
}

void PropellantDialog::ShowChoice(const PropellantChoice& choice) {
    ShowPropellant(choice);
    ShowNozzle(choice.inputs);
    ShowLosses(choice.inputs);
}

void PropellantDialog::ShowPropellant(const PropellantChoice& choice) {
    ShowUnits();
    txtName->setText(QString::fromStdString(choice.inputs.propellant_name.value_or("")));
    const bool si = choice.inputs.units.has_value();  // without a unit the values' units are unknown
    const auto when = [](bool known, double value) { return known ? std::optional<double>(value) : std::nullopt; };
    Show(txtCStar, when(si, choice.c_star), choice.c_star);
    Show(txtDensity, when(si, choice.density), choice.density);
    // With pieces and no single law (a library entry), a and n stay empty.
    const bool single = si && !(choice.a == 0.0f && choice.n == 0.0f && !choice.inputs.burn_rate.empty());
    Show(txtA, when(single, ShownCoefficient(choice.a, choice.n, shown_unit_)), choice.a);
    Show(txtN, when(single, choice.n), choice.n);
    grdPieces->setRowCount(0);
    for (const BurnRatePiece& piece : choice.inputs.burn_rate) AddPiece(piece);
    const std::optional<float> k = choice.inputs.specific_heat_ratio;
    Show(txtK, when(k.has_value(), k.value_or(0.0f)), k.value_or(0.0f));
}

void PropellantDialog::ShowNozzle(const PerformanceInputs& inputs) {
    const auto show = [](QLineEdit* field, std::optional<float> value, double shown) {
        Show(field, value ? std::optional<double>(shown) : std::nullopt, value.value_or(0.0f));
    };
    show(txtExit, inputs.nozzle_exit_dia, inputs.nozzle_exit_dia.value_or(0.0f));
    show(txtEfficiency, inputs.nozzle_efficiency, inputs.nozzle_efficiency.value_or(0.0f));
    show(txtAmbient, inputs.ambient_pressure, ShownPressure(inputs.ambient_pressure.value_or(0.0f), shown_unit_));
    show(txtCaseDiameter, inputs.case_diameter, inputs.case_diameter.value_or(0.0f));
    show(txtCaseLength, inputs.case_length, inputs.case_length.value_or(0.0f));
    show(txtHardwareMass, inputs.hardware_mass, inputs.hardware_mass.value_or(0.0f));
}

void PropellantDialog::AddPiece(const BurnRatePiece& piece) {
    const int row = grdPieces->rowCount();
    grdPieces->insertRow(row);
    for (int col = 0; col < 4; ++col) grdPieces->setItem(row, col, new QTableWidgetItem());
    if (piece == BurnRatePiece{}) return;  // a new row, to be typed in
    Show(grdPieces->item(row, 0), ShownPressure(piece.p_min, shown_unit_), piece.p_min);
    Show(grdPieces->item(row, 1), ShownPressure(piece.p_max, shown_unit_), piece.p_max);
    Show(grdPieces->item(row, 2), ShownCoefficient(piece.a, piece.n, shown_unit_), piece.a);
    Show(grdPieces->item(row, 3), piece.n, piece.n);
}

// The shown coefficient and pressures follow the unit: each that reads as
// a number is converted from the unit it was shown in to the new one, so a
// value keeps its meaning whatever else the dialog holds (and one left as
// shown keeps its exact value). The design's lengths are another matter:
// going from inches to millimetres or back, the user says whether they are
// converted (every length of the design, the exit and the case here among
// them) or keep their numbers under the new unit; Cancel keeps the unit.
void PropellantDialog::UnitChanged() {
    const std::optional<LengthUnit> before = shown_unit_;
    const std::optional<LengthUnit> after = Unit();
    if (before && after && before != after) {
        const bool to_mm = after == LengthUnit::kMillimetre;
        const QString from_name = DisplayUnits(before).LengthName(), to_name = DisplayUnits(after).LengthName();
        const MsgResult answer = messages_.MsgBox(
            "Convert every length of the design from " + from_name + " to " + to_name +
                " (the grains, the nozzle throat and exit and the case, each " + (to_mm ? "times" : "divided by") +
                " 25.4)?\n\nYes converts them, so the motor stays the same size. No keeps their numbers and takes "
                "them as " + to_name + ". Cancel keeps " + from_name + ".",
            MsgButtons::kYesNoCancel, MsgIcon::kNone, "Unit of Lengths");
        if (answer == MsgResult::kCancel) {
            const QSignalBlocker quiet(cboUnits);
            cboUnits->setCurrentIndex(*before == LengthUnit::kInch ? kInches : kMillimetres);
            return;
        }
        if (answer == MsgResult::kYes) {
            const double factor = to_mm ? kMillimetresPerInch : 1.0 / kMillimetresPerInch;
            length_scale_ *= factor;
            ScaleLengths(factor);
        }
    }
    shown_unit_ = after;
    const auto pressure = [&](auto* field) {
        if (const std::optional<float> exact = Kept(field)) {
            Show(field, ShownPressure(*exact, shown_unit_), *exact);
        } else if (IsNumeric(field->text())) {
            field->setText(FieldText(ShownPressure(StoredPressure(FieldToDouble(field->text()), before), shown_unit_)));
        }
    };
    const auto coefficient = [&](auto* a, const auto* n) {
        const std::optional<float> exact = Kept(a), exponent = Kept(n);
        if (exact && exponent) {
            Show(a, ShownCoefficient(*exact, *exponent, shown_unit_), *exact);
        } else if (IsNumeric(a->text()) && IsNumeric(n->text())) {
            const double typed = FieldToDouble(n->text());
            a->setText(FieldText(ShownCoefficient(StoredCoefficient(FieldToDouble(a->text()), typed, before), typed, shown_unit_)));
        }
    };
    // A field whose text is past the range of numbers stays as typed: OK
    // names it.
    Quietly([&] { coefficient(txtA, txtN); });
    if (!txtAmbient->text().trimmed().isEmpty()) Quietly([&] { pressure(txtAmbient); });
    for (int row = 0; row < grdPieces->rowCount(); ++row) {
        Quietly([&] { coefficient(grdPieces->item(row, 2), grdPieces->item(row, 3)); });
        Quietly([&] { pressure(grdPieces->item(row, 0)); });
        Quietly([&] { pressure(grdPieces->item(row, 1)); });
    }
    ShowUnits();
}

void PropellantDialog::ScaleLengths(double factor) {
    for (QLineEdit* field : {txtExit, txtCaseDiameter, txtCaseLength, txtThroatLength, txtWebBurnout}) {
        if (!IsNumeric(field->text())) continue;
        Quietly([&] {
            const double value = Kept(field).value_or(static_cast<float>(FieldToDouble(field->text()))) * factor;
            Show(field, value, static_cast<float>(value));
        });
    }
}

void PropellantDialog::PickLibrary(int index) {
    if (index <= 0 || index > static_cast<int>(PropellantLibrary().size())) {
        lblSource->clear();
        lblSource->hide();
        return;
    }
    const LibraryPropellant& entry = PropellantLibrary()[static_cast<size_t>(index - 1)];
    molar_mass_.reset();  // the library gives c* itself
    // The entry's values shown in the design's unit; the unit itself is the
    // user's to say (a design without one gets none until it is chosen).
    PropellantChoice choice;
    choice.c_star = entry.c_star;
    choice.density = entry.density;
    choice.a = entry.a;
    choice.n = entry.n;
    choice.inputs.units = Unit().value_or(LengthUnit::kMillimetre);
    choice.inputs.propellant_name = entry.name;
    choice.inputs.burn_rate = entry.pieces;
    choice.inputs.specific_heat_ratio = entry.k;
    ShowPropellant(choice);  // the nozzle's fields stay as they are
    lblSource->setText("Values as published at " + QString::fromStdString(entry.source) +
                       ". Check them against your own propellant before relying on them." +
                       (Unit() ? QString()
                               : QString(" Say what the design's lengths are in (Lengths in) to use them.")));
    lblSource->show();
    adjustSize();  // room for the wrapped text
}

}  // namespace thrustlet
