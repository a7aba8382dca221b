#pragma once

namespace thrustlet {

class cMotor;
struct NozzleSizingResult;
class Document;
class IBusyCursor;
class IDialogs;
class KnSummary;
class TextBox;

// Nozzle sizing: a wanted initial or maximum Kn typed into its field sets
// the throat diameter; leaving the throat field recalculates the summary.
class NozzleSizing {
public:
    struct Controls {
        TextBox* txtNozzleThroatDia;
        TextBox* txtKN;
        TextBox* txtMaxKn;
    };
    NozzleSizing(Document& document, IDialogs& dialogs, IBusyCursor& cursor, KnSummary& summary,
                 const Controls& controls);

    // The narrowest throat on the search's grid whose initial (maximum) Kn
    // does not exceed the target, written into the throat field.
    void SetIntialKn(float target);
    void SetMaxKn(float target);

    void txtKN_KeyPress(int key_ascii);
    void txtKN_LostFocus();
    void txtMaxKn_KeyPress(int key_ascii);
    void txtMaxKn_LostFocus();
    void txtNozzleThroatDia_KeyPress(int key_ascii);
    void txtNozzleThroatDia_LostFocus();

    // A throat or Kn field the user has typed into and not yet left is taken
    // as if its focus had been lost, so that what was typed is what the next
    // command (a file command, the close question, undo) works with.
    void CommitEditedField();

private:
    void RunNozzleSearch(const char* routine, NozzleSizingResult (*search)(cMotor&, float), float target,
                         TextBox* target_field);
    void KnFieldLeft(TextBox* field, const char* routine, void (NozzleSizing::*search)(float));

    Document& document_;
    IDialogs& dialogs_;
    IBusyCursor& cursor_;
    KnSummary& summary_;
    Controls ui_;
};

}  // namespace thrustlet
