// Nozzle sizing: a wanted initial or maximum Kn typed into its field sets the
// throat diameter. Leaving the nozzle field recalculates the summary.
#include "app/busy_cursor.h"
#include "model/nozzle_search.h"
#include "model/numeric.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "ui/main_window.h"

namespace thrustlet {

namespace {
constexpr int kEnter = 13;
}

// The search itself does not recalculate: the typed target stays in its
// field and the rest of the summary keeps its values until the next
// recalculation.
void frmMain::RunNozzleSearch(const char* routine, float (*search)(cMotor&, float), float target) {
    cursor_.SetHourglass();
    Guarded(routine, [&] {
        const float diameter = search(state_.Motor(), target);
        txtNozzleThroatDia->setText(TextOfDouble(RoundDecimals(diameter, 3)));
    });
    cursor_.SetDefault();
}

void frmMain::SetIntialKn(float target) { RunNozzleSearch("SetIntialKn", SearchNozzleForInitialKn, target); }

void frmMain::SetMaxKn(float target) { RunNozzleSearch("SetMaxKn", SearchNozzleForMaxKn, target); }

void frmMain::txtKN_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtKN_LostFocus();
}

void frmMain::txtMaxKn_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtMaxKn_LostFocus();
}

void frmMain::txtNozzleThroatDia_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtNozzleThroatDia_LostFocus();
}

// Leaving a Kn field marks the motor changed and, unless the window is
// filling the field itself, searches for its number. A target that is numeric
// but beyond the float range (1e39) is reported under the search's name and
// starts no search.
void frmMain::KnFieldLeft(TextBox* field, const char* routine, void (frmMain::*search)(float)) {
    state_.bChanged = true;
    if (!IsNumeric(field->text()) || state_.bBusy) return;
    float target = 0.0f;
    bool converted = false;
    Guarded(routine, [&] {
        target = FieldToSingle(field->text());
        converted = true;
    });
    if (converted) (this->*search)(target);
}

void frmMain::txtKN_LostFocus() { KnFieldLeft(txtKN, "SetIntialKn", &frmMain::SetIntialKn); }

void frmMain::txtMaxKn_LostFocus() { KnFieldLeft(txtMaxKn, "SetMaxKn", &frmMain::SetMaxKn); }

void frmMain::txtNozzleThroatDia_LostFocus() {
    state_.bChanged = true;
    CalcKn();
}

}  // namespace thrustlet
