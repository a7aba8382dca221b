// The grain editor: the grain table, the three dimension fields and the Add,
// Apply Changes and Remove buttons. Every change rebuilds the table from the
// motor and recalculates the summary.
#include <QLabel>
#include <QPushButton>

#include "platform/dialogs.h"
#include "platform/flex_grid.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "ui/main_window.h"

namespace thrustlet {

namespace {

constexpr const char* kBadGrainFields = "All Grain Fields must have positive numbers";

// Rows are 16-bit with the header row counted, so the table ends here.
constexpr int kMaxTableGrains = 32766;

// A field passes when it is a number in the user's locale that is positive
// as the float the grain stores (so 1e39 and 1e-50 are refused too).
bool PositiveField(const QString& text, float* value) {
    if (!IsNumeric(text)) return false;
    try {
        *value = FieldToSingle(text);
    } catch (const RunTimeError&) {
        return false;
    }
    return *value > 0.0f;
}

}  // namespace

bool frmMain::ReadGrainFields(float* length, float* diameter, float* core) const {
    const bool length_ok = PositiveField(txtGrainLength->text(), length);
    const bool diameter_ok = PositiveField(txtGrainDiameter->text(), diameter);
    const bool core_ok = PositiveField(txtCoreDiameter->text(), core);
    return length_ok && diameter_ok && core_ok;
}

void frmMain::PopulateGrainGrid() {
    cMotor& motor = state_.Motor();
    grdGrains->SetRows(motor.GrainCount() + 1);
    // Counted in int: a motor read from a file may hold 32767 grains, one
    // past what a 16-bit counter can step over.
    const int count = motor.GrainCount();
    for (int i = 1; i <= count; ++i) {
        const auto& grain = motor.Grains()[static_cast<size_t>(i - 1)];
        grdGrains->SetTextMatrix(i, 0, QString::number(i));
        grdGrains->SetTextMatrix(i, 1, TextOfSingle(grain->Length()));
        grdGrains->SetTextMatrix(i, 2, TextOfSingle(grain->Diameter()));
        grdGrains->SetTextMatrix(i, 3, TextOfSingle(grain->CoreDiameter()));
    }
    grdGrains->SetCol(1);
    grdGrains->SetColSel(3);
    if (grdGrains->Rows() > 1) {
        grdGrains->SetRow(1);
        grdGrains->SetRowSel(1);
    }
    CalcKn();
}

void frmMain::grdGrains_Click() {
    const int row = grdGrains->RowSel();
    if (row <= 0) return;
    txtGrainLength->setText(grdGrains->TextMatrix(row, 1));
    txtGrainDiameter->setText(grdGrains->TextMatrix(row, 2));
    txtCoreDiameter->setText(grdGrains->TextMatrix(row, 3));
    cmdApplyChanges->setEnabled(true);
}

void frmMain::cmdAdd_Click() {
    state_.bChanged = true;
    Guarded("cmdAdd_Click", [&] {
        float length = 0, diameter = 0, core = 0;
        if (!ReadGrainFields(&length, &diameter, &core)) {
            ShowMessage(kBadGrainFields);
            return;
        }
        cMotor& motor = state_.Motor();
        if (motor.GrainCount() >= kMaxTableGrains) {
            ShowMessage(QString("The grain table is full: a motor holds at most %1 grains.")
                            .arg(kMaxTableGrains));
            return;
        }
        auto grain = std::make_shared<cGrain>();
        grain->SetGrainType(cGrain::kBates);
        grain->SetCoreDiameter(core);
        grain->SetLength(length);
        grain->SetDiameter(diameter);
        motor.AddGrain(grain);
        PopulateGrainGrid();
        CalcKn();
    });
}

void frmMain::cmdApplyChanges_Click() {
    state_.bChanged = true;
    Guarded("cmdApplyChanges_Click", [&] {
        if (grdGrains->RowSel() <= 0) return;
        float length = 0, diameter = 0, core = 0;
        if (!ReadGrainFields(&length, &diameter, &core)) {
            ShowMessage(kBadGrainFields);
            return;
        }
        const int row = grdGrains->Row();
        const int row_sel = grdGrains->RowSel();
        const int col_sel = grdGrains->ColSel();
        cMotor& motor = state_.Motor();
        // A selection dragged upwards (end row above the anchor) is an empty
        // range: nothing changes, but the table and summary still refresh.
        for (int i = std::max(row, 1); i <= row_sel; ++i) {
            const auto grain = motor.Grain(static_cast<int16_t>(i));
            grain->SetGrainType(cGrain::kBates);
            grain->SetCoreDiameter(core);
            grain->SetLength(length);
            grain->SetDiameter(diameter);
        }
        PopulateGrainGrid();
        CalcKn();
        grdGrains->SetRow(row);
        grdGrains->SetRowSel(row_sel);
        grdGrains->SetColSel(col_sel);
    });
}

void frmMain::cmdRemove_Click() {
    state_.bChanged = true;
    Guarded("cmdRemove_Click", [&] {
        const int row_sel = grdGrains->RowSel();
        if (row_sel <= 0) return;
        // Exactly one grain goes: the one at the selection's end row.
        state_.Motor().DeleteGrain(static_cast<int16_t>(row_sel));
        PopulateGrainGrid();
    });
}

}  // namespace thrustlet
