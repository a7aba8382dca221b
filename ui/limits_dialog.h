#pragma once

#include <QDialog>
#include <optional>

#include "model/design_parts.h"
#include "model/performance_inputs.h"
#include "model/units.h"
#include "platform/dialogs.h"

QT_BEGIN_NAMESPACE
class QLineEdit;
QT_END_NAMESPACE

namespace thrustlet {

// The builder's limits as the design keeps them (SI); an empty one takes
// the usual value (none, 1406 kg/(m^2 s), 2).
using LimitsChoice = LimitsPart;

// Asks the user for the limits; nothing when cancelled. Tests answer it with
// a scripted stand-in.
class ILimitsEditor {
public:
    virtual ~ILimitsEditor() = default;
    virtual std::optional<LimitsChoice> Edit(const LimitsChoice& current, std::optional<LengthUnit> unit,
                                             QWidget* parent) = 0;
};

// The dialog: the casing's pressure rating, the mass flux limit and the
// smallest port-to-throat ratio, in the design's units (MPa and kg/(m^2 s)
// for millimetres and designs without a unit, psi and lb/(in^2 s) for
// inches); values left as shown come back exactly.
class LimitsDialog : public QDialog {
    Q_OBJECT
public:
    LimitsDialog(const LimitsChoice& current, std::optional<LengthUnit> unit, IDialogs& messages,
                 QWidget* parent = nullptr);
    // The limits as the fields hold them; false (with `problem`) when one is
    // not a number above 0.
    bool Read(LimitsChoice* choice, QString* problem) const;
    void accept() override;

private:
    QLineEdit* txtMaxPressure;
    QLineEdit* txtMaxMassFlux;
    QLineEdit* txtMinPortThroat;
    DisplayUnits units_;
    IDialogs& messages_;
};

class QtLimitsEditor : public ILimitsEditor {
public:
    std::optional<LimitsChoice> Edit(const LimitsChoice& current, std::optional<LengthUnit> unit,
                                     QWidget* parent) override;
};

}  // namespace thrustlet
