#include "ui/grain_editor.h"

#include <cmath>

#include <algorithm>

#include <QPushButton>

#include "model/kn_summary.h"
#include "model/motor.h"
#include "platform/dialogs.h"
#include "platform/flex_grid.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "thrustlet/identity.h"
#include "ui/document.h"
#include "ui/kn_summary.h"
#include "ui/report.h"

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

void ShowMessage(IDialogs& dialogs, const QString& text) {
    dialogs.MsgBox(text, MsgButtons::kOk, MsgIcon::kInformation, kProgramTitle);
}

}  // namespace

GrainEditor::GrainEditor(Document& document, IDialogs& dialogs, KnSummary& summary,
                         const Controls& controls)
    : document_(document), dialogs_(dialogs), summary_(summary), ui_(controls) {}

void GrainEditor::ScaleFieldsBack(double factor) {
    for (TextBox* field : {ui_.txtGrainLength, ui_.txtGrainDiameter, ui_.txtCoreDiameter}) {
        float value = 0.0f;
        if (!PositiveField(field->text(), &value)) continue;
        const double scaled = value * factor;
        QString text = TextOfSingle(static_cast<float>(scaled));
        for (int digits = 1; digits < 7; ++digits) {
            const double rounded = QString::number(scaled, 'g', digits).toDouble();
            if (std::fabs(rounded - scaled) <= 1e-6 * scaled) {
                text = TextOfSingle(static_cast<float>(rounded));
                break;
            }
        }
        field->setText(text);
    }
}

void GrainEditor::ScaleFields(double factor) {
    for (TextBox* field : {ui_.txtGrainLength, ui_.txtGrainDiameter, ui_.txtCoreDiameter}) {
        float value = 0.0f;
        if (PositiveField(field->text(), &value)) field->setText(TextOfSingle(static_cast<float>(value * factor)));
    }
}

namespace {

constexpr const char* kGrainColumns = "^Grain #|Length|Diameter|Core Dia.";

// The table's columns: the dimensions, and the inhibited ends after them
// while a grain has one (a motor of grains burning on both ends keeps the
// table it always had).
void SetColumns(FlexGrid* grid, bool inhibited) {
    grid->SetFormatString(inhibited ? QString(kGrainColumns) + "|Inhibited" : QString(kGrainColumns));
    // Five columns share the four's width, so the grid needs no scrolling.
    for (int col = 0; col < grid->Cols(); ++col) grid->SetColWidth(col, !inhibited ? 800 : col == 0 ? 560 : 660);
}

}  // namespace

void GrainEditor::InitGrid() {
    FlexGrid* grid = ui_.grdGrains;
    SetColumns(grid, false);
    grid->SetRows(1);
    grid->SetRow(0);
    grid->SetRowSel(0);
    grid->SetCol(0);
    grid->SetColSel(3);
}

bool GrainEditor::ReadGrainFields(float* length, float* diameter, float* core) const {
    const bool length_ok = PositiveField(ui_.txtGrainLength->text(), length);
    const bool diameter_ok = PositiveField(ui_.txtGrainDiameter->text(), diameter);
    const bool core_ok = PositiveField(ui_.txtCoreDiameter->text(), core);
    return length_ok && diameter_ok && core_ok && GrainAccepted(*length, *diameter, *core);
}

void GrainEditor::ShowGrains() {
    FlexGrid* grid = ui_.grdGrains;
    const cMotor& motor = document_.Motor();
    const bool inhibited = std::any_of(motor.Grains().begin(), motor.Grains().end(),
                                       [](const auto& grain) { return grain->Inhibited() != cGrain::Ends::kNone; });
    if ((grid->Cols() > 4) != inhibited) SetColumns(grid, inhibited);
    grid->SetRows(motor.GrainCount() + 1);
    // Counted in int: a motor read from a file may hold 32767 grains, one
    // past what a 16-bit counter can step over.
    const int count = motor.GrainCount();
    for (int i = 1; i <= count; ++i) {
        const auto& grain = motor.Grains()[static_cast<size_t>(i - 1)];
        grid->SetTextMatrix(i, 0, QString::number(i));
        grid->SetTextMatrix(i, 1, TextOfSingle(grain->Length()));
        grid->SetTextMatrix(i, 2, TextOfSingle(grain->Diameter()));
        grid->SetTextMatrix(i, 3, TextOfSingle(grain->CoreDiameter()));
        if (inhibited) grid->SetTextMatrix(i, 4, QString(EndsName(grain->Inhibited())));
    }
    grid->SetCol(1);
    grid->SetColSel(3);
    if (grid->Rows() > 1) {
        grid->SetRow(1);
        grid->SetRowSel(1);
    }
}

void GrainEditor::PopulateGrainGrid() {
    ShowGrains();
    summary_.CalcKn();
}

void GrainEditor::grdGrains_Click() {
    const int row = ui_.grdGrains->RowSel();
    if (row <= 0) return;
    ui_.txtGrainLength->setText(ui_.grdGrains->TextMatrix(row, 1));
    ui_.txtGrainDiameter->setText(ui_.grdGrains->TextMatrix(row, 2));
    ui_.txtCoreDiameter->setText(ui_.grdGrains->TextMatrix(row, 3));
    ui_.cmdApplyChanges->setEnabled(true);
}

void GrainEditor::ClearFields() {
    ui_.txtCoreDiameter->setText(QString());
    ui_.txtGrainDiameter->setText(QString());
    ui_.txtGrainLength->setText(QString());
}

void GrainEditor::cmdAdd_Click() {
    document_.SetChanged(true);
    Guarded(dialogs_, "cmdAdd_Click", [&] {
        float length = 0, diameter = 0, core = 0;
        if (!ReadGrainFields(&length, &diameter, &core)) {
            ShowMessage(dialogs_, kBadGrainFields);
            return;
        }
        cMotor& motor = document_.Motor();
        if (motor.GrainCount() >= kMaxTableGrains) {
            ShowMessage(dialogs_,
                        QString("The grain table is full: a motor holds at most %1 grains.").arg(kMaxTableGrains));
            return;
        }
        auto grain = std::make_shared<cGrain>();
        grain->SetGrainType(cGrain::kBates);
        grain->SetCoreDiameter(core);
        grain->SetLength(length);
        grain->SetDiameter(diameter);
        motor.AddGrain(grain);
        PopulateGrainGrid();
        summary_.CalcKn();
    });
    document_.DesignChanged("Add Grain");
}

void GrainEditor::cmdApplyChanges_Click() {
    document_.SetChanged(true);
    Guarded(dialogs_, "cmdApplyChanges_Click", [&] {
        FlexGrid* grid = ui_.grdGrains;
        if (grid->RowSel() <= 0) return;
        float length = 0, diameter = 0, core = 0;
        if (!ReadGrainFields(&length, &diameter, &core)) {
            ShowMessage(dialogs_, kBadGrainFields);
            return;
        }
        const int row = grid->Row();
        const int row_sel = grid->RowSel();
        const int col_sel = grid->ColSel();
        cMotor& motor = document_.Motor();
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
        summary_.CalcKn();
        grid->SetRow(row);
        grid->SetRowSel(row_sel);
        grid->SetColSel(col_sel);
    });
    document_.DesignChanged("Apply Changes");
}

void GrainEditor::SetInhibited(cGrain::Ends ends) {
    FlexGrid* grid = ui_.grdGrains;
    const int first = std::max(std::min(grid->Row(), grid->RowSel()), 1);
    const int last = std::max(grid->Row(), grid->RowSel());
    if (grid->RowSel() <= 0 || last < 1) {
        ShowMessage(dialogs_, "Select the grains whose ends are inhibited in the grain table first.");
        return;
    }
    document_.SetChanged(true);
    Guarded(dialogs_, "SetInhibited", [&] {
        cMotor& motor = document_.Motor();
        for (int i = first; i <= last && i <= motor.GrainCount(); ++i) motor.Grain(static_cast<int16_t>(i))->SetInhibited(ends);
        const int row = grid->Row(), row_sel = grid->RowSel();
        PopulateGrainGrid();
        grid->SetRow(row);
        grid->SetRowSel(row_sel);
    });
    document_.DesignChanged("Inhibited Ends");
}

void GrainEditor::cmdRemove_Click() {
    document_.SetChanged(true);
    Guarded(dialogs_, "cmdRemove_Click", [&] {
        const int row_sel = ui_.grdGrains->RowSel();
        if (row_sel <= 0) return;
        // Exactly one grain goes: the one at the selection's end row.
        document_.Motor().DeleteGrain(static_cast<int16_t>(row_sel));
        PopulateGrainGrid();
    });
    document_.DesignChanged("Remove Grain");
}

}  // namespace thrustlet
