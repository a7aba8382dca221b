#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "model/propellant_library.h"
#include "ui/propellant_dialog.h"

namespace thrustlet::testing {

// A scripted dialog's next answer; none (the dialog cancelled) once the
// script is spent.
template <typename Choice>
std::optional<Choice> NextAnswer(std::deque<std::optional<Choice>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<Choice> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

// Puts a scripted dialog of type `Script` in place of the real one of a
// window's concern (its SetEditor); the concern owns it, the test keeps the
// pointer to script it.
template <typename Script, typename Concern>
Script* ScriptEditorOf(Concern& concern) {
    auto script = std::make_unique<Script>();
    Script* kept = script.get();
    concern.SetEditor(std::move(script));
    return kept;
}

// Answers the Propellant dialog from a script and keeps what it was shown.
class ScriptedEditor : public IPropellantEditor {
public:
    std::optional<PropellantChoice> Edit(const PropellantChoice& current, QWidget*) override {
        shown.push_back(current);
        return NextAnswer(answers);
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
