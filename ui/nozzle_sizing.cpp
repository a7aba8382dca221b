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
void frmMain::SetIntialKn(float target) {
    cursor_.SetHourglass();
    Guarded("SetIntialKn", [&] {
        const float diameter = SearchNozzleForInitialKn(state_.Motor(), target);
        txtNozzleThroatDia->setText(TextOfDouble(RoundDecimals(diameter, 3)));
    });
    cursor_.SetDefault();
}

void frmMain::SetMaxKn(float target) {
    cursor_.SetHourglass();
    Guarded("SetMaxKn", [&] {
        const float diameter = SearchNozzleForMaxKn(state_.Motor(), target);
        txtNozzleThroatDia->setText(TextOfDouble(RoundDecimals(diameter, 3)));
    });
    cursor_.SetDefault();
}

void frmMain::txtKN_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtKN_LostFocus();
}

void frmMain::txtMaxKn_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtMaxKn_LostFocus();
}

void frmMain::txtNozzleThroatDia_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtNozzleThroatDia_LostFocus();
}

// A target that is numeric but beyond the float range (1e39) is reported
// under the search's name; it never starts a search.
void frmMain::txtKN_LostFocus() {
    state_.bChanged = true;
    if (!IsNumeric(txtKN->text()) || state_.bBusy) return;
    float target = 0.0f;
    bool converted = false;
    Guarded("SetIntialKn", [&] {
        target = FieldToSingle(txtKN->text());
        converted = true;
    });
    if (converted) SetIntialKn(target);
}

void frmMain::txtMaxKn_LostFocus() {
    state_.bChanged = true;
    if (!IsNumeric(txtMaxKn->text()) || state_.bBusy) return;
    float target = 0.0f;
    bool converted = false;
    Guarded("SetMaxKn", [&] {
        target = FieldToSingle(txtMaxKn->text());
        converted = true;
    });
    if (converted) SetMaxKn(target);
}

void frmMain::txtNozzleThroatDia_LostFocus() {
    state_.bChanged = true;
    CalcKn();
}

}  // namespace thrustlet
