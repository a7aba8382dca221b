#include "ui/nozzle_sizing.h"

#include "model/motor.h"
#include "model/nozzle_search.h"
#include "model/numeric.h"
#include "platform/busy_cursor.h"
#include "platform/locale_number.h"
#include "platform/text_box.h"
#include "ui/document.h"
#include "ui/kn_summary.h"
#include "ui/report.h"

namespace thrustlet {

namespace {
constexpr int kEnter = 13;
}

NozzleSizing::NozzleSizing(Document& document, IDialogs& dialogs, IBusyCursor& cursor, KnSummary& summary,
                           const Controls& controls)
    : document_(document), dialogs_(dialogs), cursor_(cursor), summary_(summary), ui_(controls) {}

// The search itself does not recalculate: the typed target stays in its
// field and the rest of the summary keeps its values until the next
// recalculation, shown faded with the throat they belong to. A target no
// throat of the range reaches shows the range's end, marked as no answer.
void NozzleSizing::RunNozzleSearch(const char* routine, NozzleSizingResult (*search)(cMotor&, float), float target,
                                   TextBox* target_field) {
    BusyCursor busy(cursor_);
    Guarded(dialogs_, routine, [&] {
        cMotor& motor = document_.Motor();
        const NozzleSizingResult sized = search(motor, target);
        ui_.txtNozzleThroatDia->setText(TextOfDouble(sized.shown));
        summary_.MarkOutOfDate(target_field);
        if (!sized.reached) {
            const NozzleSearchRange range = SearchRangeOf(motor);
            const QString word = DisplayUnits(motor.Performance().units).LengthWord();
            const QString in = word.isEmpty() ? word : " " + word;
            summary_.MarkTargetUnreached(
                QString("No throat from %1 to %2%3 gives %4 Kn of %5 or less: the field shows the end of the range, "
                        "not an answer. Even the widest throat leaves the Kn above the target.")
                    .arg(TextOfDouble(range.first), TextOfDouble(range.last), in,
                         search == &SizeNozzleForInitialKn ? "an initial" : "a maximum", TextOfSingle(target)));
        } else if (sized.above_narrowest) {
            summary_.MarkTargetUnreached(
                QString("The narrowest throat of the range gives %1 Kn %2, below the target: the field shows it, not an "
                        "answer. The target needs a narrower throat than the search tries.")
                    .arg(search == &SizeNozzleForInitialKn ? "Initial" : "Max", TextOfSingle(sized.narrowest_kn)));
        }
    });
}

void NozzleSizing::SetIntialKn(float target) { RunNozzleSearch("SetIntialKn", SizeNozzleForInitialKn, target, ui_.txtKN); }

void NozzleSizing::SetMaxKn(float target) { RunNozzleSearch("SetMaxKn", SizeNozzleForMaxKn, target, ui_.txtMaxKn); }

void NozzleSizing::txtKN_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtKN_LostFocus();
}

void NozzleSizing::txtMaxKn_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtMaxKn_LostFocus();
}

void NozzleSizing::txtNozzleThroatDia_KeyPress(int key_ascii) {
    if (key_ascii == kEnter) txtNozzleThroatDia_LostFocus();
}

// Leaving a Kn field marks the motor changed and, unless the window is
// filling the field itself, searches for its number. A target that is numeric
// but beyond the float range (1e39) is reported under the search's name and
// starts no search.
void NozzleSizing::KnFieldLeft(TextBox* field, const char* routine, void (NozzleSizing::*search)(float)) {
    document_.SetChanged(true);
    field->setModified(false);
    if (!IsNumeric(field->text()) || document_.Busy()) return;
    float target = 0.0f;
    if (!Guarded(dialogs_, routine, [&] { target = FieldToSingle(field->text()); })) return;
    (this->*search)(target);
    document_.DesignChanged("Size Nozzle");
}

void NozzleSizing::txtKN_LostFocus() { KnFieldLeft(ui_.txtKN, "SetIntialKn", &NozzleSizing::SetIntialKn); }

void NozzleSizing::txtMaxKn_LostFocus() { KnFieldLeft(ui_.txtMaxKn, "SetMaxKn", &NozzleSizing::SetMaxKn); }

void NozzleSizing::txtNozzleThroatDia_LostFocus() {
    document_.SetChanged(true);
    ui_.txtNozzleThroatDia->setModified(false);
    summary_.CalcKn();
    document_.DesignChanged("Nozzle Throat");
}

void NozzleSizing::CommitEditedField() {
    TextBox* const fields[] = {ui_.txtNozzleThroatDia, ui_.txtKN, ui_.txtMaxKn};
    for (TextBox* field : fields) {
        if (field->window()->focusWidget() != field || !field->isModified()) continue;
        if (field == ui_.txtNozzleThroatDia) {
            txtNozzleThroatDia_LostFocus();
        } else if (field == ui_.txtKN) {
            txtKN_LostFocus();
        } else {
            txtMaxKn_LostFocus();
        }
    }
}

}  // namespace thrustlet
