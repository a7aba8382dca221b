#pragma once

#include <QtGlobal>

#include "model/grain.h"

QT_BEGIN_NAMESPACE
class QPushButton;
QT_END_NAMESPACE

namespace thrustlet {

class Document;
class FlexGrid;
class IDialogs;
class KnSummary;
class TextBox;

// The grain editor: the grain table, the three dimension fields and the
// Add, Apply Changes and Remove buttons, and the table's menu of inhibited
// ends (a column of them follows the dimensions while a grain has one). The table is a view of the motor,
// rebuilt whole after every change, and every change recalculates the
// summary.
class GrainEditor {
public:
    struct Controls {
        FlexGrid* grdGrains;
        TextBox* txtGrainLength;
        TextBox* txtGrainDiameter;
        TextBox* txtCoreDiameter;
        QPushButton* cmdApplyChanges;
    };
    GrainEditor(Document& document, IDialogs& dialogs, KnSummary& summary,
                const Controls& controls);

    // The empty table with its header row, as the window starts.
    void InitGrid();
    // Rebuilds the table from the motor, selects grain 1 and recalculates.
    void PopulateGrainGrid();
    // Copies the selection's end row into the fields.
    void grdGrains_Click();
    void cmdAdd_Click();
    void cmdApplyChanges_Click();
    void cmdRemove_Click();
    // The grid's menu: the selected grains' inhibited end faces (one edit).
    void SetInhibited(cGrain::Ends ends);

    // Rebuilds the table from the motor and selects grain 1, without
    // recalculating (the edit history shows the figures it kept).
    void ShowGrains();
    // Empties the three dimension fields (New).
    void ClearFields();
    // The numbers in the three dimension fields times `factor`, for lengths
    // converted to another unit (text that is not a number stays).
    void ScaleFields(double factor);
    // The same, converting back what ScaleFields showed: each value as the
    // shortest number within a millionth of it, so that a conversion undone
    // shows what was typed (57, not 56.99998).
    void ScaleFieldsBack(double factor);

private:
    bool ReadGrainFields(float* length, float* diameter, float* core) const;

    Document& document_;
    IDialogs& dialogs_;
    KnSummary& summary_;
    Controls ui_;
};

}  // namespace thrustlet
