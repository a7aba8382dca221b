#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "model/propellant_library.h"
#include "ui/propellant_dialog.h"

namespace thrustlet::testing {

// Answers the Propellant dialog from a script and keeps what it was shown.
class ScriptedEditor : public IPropellantEditor {
public:
    std::optional<PropellantChoice> Edit(const PropellantChoice& current, QWidget*) override {
        shown.push_back(current);
        if (answers.empty()) return std::nullopt;
        std::optional<PropellantChoice> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<PropellantChoice>> answers;
    std::vector<PropellantChoice> shown;
};

// KNSB from the library, for a design in millimetres.
inline PropellantChoice Knsb() {
    const LibraryPropellant& knsb = PropellantLibrary().front();
    PropellantChoice choice;
    choice.c_star = knsb.c_star;
    choice.density = knsb.density;
    choice.inputs.units = LengthUnit::kMillimetre;
    choice.inputs.propellant_name = knsb.name;
    choice.inputs.burn_rate = knsb.pieces;
    choice.inputs.specific_heat_ratio = knsb.k;
    return choice;
}

}  // namespace thrustlet::testing
