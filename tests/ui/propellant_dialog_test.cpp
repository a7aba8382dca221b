// The Propellant dialog itself: the units builders read, the library, and
// the values it refuses; and the real editor, answered as a user would.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QApplication>
#include <cmath>

#include "model/propellant_library.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/propellant_dialog.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace thrustlet::testing {
namespace {

constexpr int kNoUnit = 0, kInches = 1, kMillimetres = 2;

class PropellantDialogTest : public ::testing::Test {
protected:
    // A millimetre design with a single law of 5 mm/s at 1 MPa, n = 0.5,
    // one piece from 1 to 2 MPa and a 0.1 MPa ambient pressure.
    static PropellantChoice MillimetreDesign() {
        PropellantChoice choice;
        choice.c_star = 900.0f;
        choice.density = 1800.0f;
        choice.n = 0.5f;
        choice.a = CoefficientFromMmPerSecond(5.0, 0.5);
        choice.inputs.units = LengthUnit::kMillimetre;
        choice.inputs.burn_rate = {{1e6f, 2e6f, CoefficientFromMmPerSecond(5.0, 0.5), 0.5f}};
        choice.inputs.ambient_pressure = 1e5f;
        return choice;
    }
    void Open(const PropellantChoice& choice) {
        dialog = std::make_unique<PropellantDialog>(choice, messages);
        for (auto [field, name] : {std::pair{&txtA, "txtA"}, {&txtN, "txtN"}, {&txtCStar, "txtCStar"},
                                   {&txtK, "txtK"}, {&txtAmbient, "txtAmbient"}, {&txtName, "txtName"}}) {
            *field = dialog->findChild<QLineEdit*>(name);
            ASSERT_NE(*field, nullptr) << name;
        }
        cboUnits = dialog->findChild<QComboBox*>("cboUnits");
        cboLibrary = dialog->findChild<QComboBox*>("cboLibrary");
        grdPieces = dialog->findChild<QTableWidget*>("grdPieces");
        ASSERT_TRUE(cboUnits && cboLibrary && grdPieces);
    }
    PropellantChoice Read() {
        PropellantChoice choice;
        QString problem;
        EXPECT_TRUE(dialog->Read(&choice, &problem)) << problem.toStdString();
        return choice;
    }

    ScriptedDialogs messages;
    std::unique_ptr<PropellantDialog> dialog;
    QLineEdit *txtA = nullptr, *txtN = nullptr, *txtCStar = nullptr, *txtK = nullptr, *txtAmbient = nullptr,
              *txtName = nullptr;
    QComboBox *cboUnits = nullptr, *cboLibrary = nullptr;
    QTableWidget* grdPieces = nullptr;
};

// The coefficient and the pressures show in mm/s and MPa for millimetres
// and in in/s and psi for inches; switching the unit converts what is
// shown, and reading gives the same SI values back.
TEST_F(PropellantDialogTest, CoefficientAndPressuresShowInTheBuildersUnits) {
    const PropellantChoice design = MillimetreDesign();
    Open(design);
    EXPECT_EQ(txtA->text(), "5");
    EXPECT_EQ(txtAmbient->text(), "0.1");
    EXPECT_EQ(grdPieces->item(0, 0)->text(), "1");
    EXPECT_EQ(grdPieces->item(0, 2)->text(), "5");
    const PropellantChoice read = Read();
    EXPECT_EQ(read.inputs, design.inputs);
    EXPECT_FLOAT_EQ(read.a, design.a);

    // Only the unit's name changes here (No: the lengths keep their numbers).
    messages.answers = {MsgResult::kNo, MsgResult::kNo};
    cboUnits->setCurrentIndex(kInches);
    // 5 mm/s at 1 MPa is 0.19685 in/s at 145.04 psi: a = 0.19685 / 145.04^0.5.
    EXPECT_NEAR(txtA->text().toDouble(), 5.0 / 25.4 / std::sqrt(1e6 / 6894.757293168361), 1e-6);
    EXPECT_NEAR(grdPieces->item(0, 0)->text().toDouble(), 145.0377, 1e-3);
    EXPECT_NEAR(txtAmbient->text().toDouble(), 14.50377, 1e-4);
    const PropellantChoice inches = Read();
    EXPECT_EQ(inches.inputs.units, LengthUnit::kInch);
    EXPECT_NEAR(inches.a, design.a, 1e-6 * design.a);
    EXPECT_NEAR(inches.inputs.burn_rate[0].p_min, 1e6, 1.0);
    EXPECT_NEAR(*inches.inputs.ambient_pressure, 1e5, 0.1);

    // A field that does not read yet does not stop the others converting.
    txtCStar->clear();
    cboUnits->setCurrentIndex(kMillimetres);
    EXPECT_NEAR(txtAmbient->text().toDouble(), 0.1, 1e-7);
    EXPECT_NEAR(txtA->text().toDouble(), 5.0, 1e-5);
    EXPECT_NEAR(grdPieces->item(0, 1)->text().toDouble(), 2.0, 1e-6);
}

// A library entry fills the propellant's values, keeps the nozzle's and
// names its source. It never chooses the unit: a design without one is told
// to say it (OK refuses until then), an inch design stays in inches with
// the entry's values shown in in/s and psi.
TEST_F(PropellantDialogTest, LibraryEntryFillsTheValuesAndKeepsTheUnit) {
    PropellantChoice none;
    none.inputs.nozzle_exit_dia = 25.0f;
    Open(none);
    ASSERT_EQ(cboUnits->currentIndex(), kNoUnit);
    const LibraryPropellant& knsb = PropellantLibrary().front();
    cboLibrary->setCurrentIndex(1);
    dialog->PickLibrary(1);
    EXPECT_EQ(cboUnits->currentIndex(), kNoUnit);
    EXPECT_EQ(txtName->text(), "KNSB");
    EXPECT_TRUE(txtA->text().isEmpty());  // the pieces hold the law
    EXPECT_EQ(grdPieces->rowCount(), static_cast<int>(knsb.pieces.size()));
    auto* source = dialog->findChild<QLabel*>("lblSource");
    EXPECT_TRUE(source->text().contains(QString::fromStdString(knsb.source))) << source->text().toStdString();
    EXPECT_TRUE(source->text().contains("Lengths in")) << source->text().toStdString();
    dialog->accept();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.contains("Lengths in")) << messages.boxes[0].text.toStdString();

    cboUnits->setCurrentIndex(kMillimetres);  // from no unit: nothing to convert, no question
    EXPECT_EQ(messages.boxes.size(), 1u);
    const PropellantChoice read = Read();
    EXPECT_EQ(read.inputs.units, LengthUnit::kMillimetre);
    EXPECT_EQ(read.c_star, knsb.c_star);
    EXPECT_EQ(read.density, knsb.density);
    EXPECT_EQ(read.inputs.specific_heat_ratio, knsb.k);
    EXPECT_EQ(read.inputs.nozzle_exit_dia, 25.0f);
    EXPECT_EQ(read.inputs.burn_rate, knsb.pieces);  // exactly, not as the seven digits shown
    EXPECT_EQ(read.length_scale, 1.0);

    PropellantChoice inches;
    inches.inputs.units = LengthUnit::kInch;
    inches.inputs.nozzle_exit_dia = 1.0f;
    Open(inches);
    dialog->PickLibrary(1);
    EXPECT_EQ(cboUnits->currentIndex(), kInches);
    EXPECT_EQ(grdPieces->horizontalHeaderItem(0)->text(), "From (psi)");
    EXPECT_NEAR(grdPieces->item(0, 1)->text().toDouble(), 0.807e6 / 6894.757293168361, 1e-3);
    const PropellantChoice picked = Read();
    EXPECT_EQ(picked.inputs.units, LengthUnit::kInch);
    EXPECT_EQ(picked.inputs.burn_rate, knsb.pieces);
    EXPECT_EQ(picked.inputs.nozzle_exit_dia, 1.0f);
}

// Changing the unit asks whether the design's lengths are converted: Yes
// converts the lengths the dialog holds and says by how much the rest go,
// No only names them anew, Cancel keeps the unit.
TEST_F(PropellantDialogTest, ChangingTheUnitConvertsOrRelabelsTheLengths) {
    PropellantChoice design = MillimetreDesign();
    design.inputs.nozzle_exit_dia = 25.4f;
    design.inputs.case_length = 254.0f;
    Open(design);
    auto* exit = dialog->findChild<QLineEdit*>("txtExit");
    auto* case_length = dialog->findChild<QLineEdit*>("txtCaseLength");
    ASSERT_TRUE(exit && case_length);

    messages.answers = {MsgResult::kCancel};
    cboUnits->setCurrentIndex(kInches);
    EXPECT_EQ(cboUnits->currentIndex(), kMillimetres);
    EXPECT_EQ(Read().inputs.units, LengthUnit::kMillimetre);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].buttons, MsgButtons::kYesNoCancel);
    EXPECT_TRUE(messages.boxes[0].text.startsWith("Convert every length of the design from millimetres to inches"));

    messages.answers = {MsgResult::kYes};
    cboUnits->setCurrentIndex(kInches);
    PropellantChoice converted = Read();
    EXPECT_EQ(converted.inputs.units, LengthUnit::kInch);
    EXPECT_DOUBLE_EQ(converted.length_scale, 1.0 / 25.4);
    EXPECT_EQ(exit->text(), "1");
    EXPECT_FLOAT_EQ(*converted.inputs.nozzle_exit_dia, 1.0f);
    EXPECT_FLOAT_EQ(*converted.inputs.case_length, 10.0f);
    EXPECT_NEAR(converted.a, design.a, 1e-6 * design.a);  // the propellant means the same

    messages.answers = {MsgResult::kNo};
    cboUnits->setCurrentIndex(kMillimetres);
    const PropellantChoice relabelled = Read();
    EXPECT_EQ(relabelled.inputs.units, LengthUnit::kMillimetre);
    EXPECT_DOUBLE_EQ(relabelled.length_scale, 1.0 / 25.4);  // the earlier conversion stands
    EXPECT_EQ(exit->text(), "1");
}

// Values the user leaves as shown come back exactly, even those seven
// digits cannot say, in either unit; an edited field takes what was typed.
TEST_F(PropellantDialogTest, UntouchedValuesComeBackExactly) {
    PropellantChoice design = MillimetreDesign();
    design.c_star = 900.0f + 1.0f / 3.0f;
    design.a = std::nextafter(design.a, 1.0f);
    design.inputs.burn_rate[0].p_max = 2e6f / 3.0f * 3.0000001f;
    design.inputs.burn_rate[0].a = std::nextafter(design.inputs.burn_rate[0].a, 0.0f);
    design.inputs.ambient_pressure = 101325.0f / 7.0f;
    design.inputs.specific_heat_ratio = 1.0f + 1.0f / 3.0f;
    Open(design);
    EXPECT_EQ(Read(), design);
    messages.answers = {MsgResult::kNo, MsgResult::kNo};
    cboUnits->setCurrentIndex(kInches);
    ASSERT_EQ(cboUnits->currentIndex(), kInches);
    cboUnits->setCurrentIndex(kMillimetres);
    EXPECT_EQ(Read(), design);

    txtN->setText("0.4");  // a's text now means a different SI coefficient
    const PropellantChoice edited = Read();
    EXPECT_EQ(edited.n, 0.4f);
    EXPECT_FLOAT_EQ(edited.a, CoefficientFromMmPerSecond(txtA->text().toDouble(), 0.4));
    EXPECT_EQ(edited.c_star, design.c_star);
}

// The losses and the full model's values show, come back exactly, convert
// their lengths with the unit, and are refused past their range with the
// value named.
TEST_F(PropellantDialogTest, LossesAndTheFullModelsValues) {
    PropellantChoice design = MillimetreDesign();
    design.inputs.combustion_efficiency = 0.9f;
    design.inputs.nozzle_divergence = 15.0f;
    design.inputs.nozzle_convergence = 45.0f;
    design.inputs.nozzle_throat_length = 2.54f;
    design.inputs.nozzle_erosion = 1e-12f;
    design.inputs.nozzle_slag = 100.0f;
    design.inputs.web_burnout = 0.0254f;
    design.inputs.erosive_alpha = 2e-5f;
    design.inputs.erosive_beta = 120.0f;
    design.inputs.erosive_threshold = 2.0f;
    design.inputs.erosive_velocity_coefficient = 0.05f;
    Open(design);
    auto* divergence = dialog->findChild<QLineEdit*>("txtDivergence");
    auto* throat_length = dialog->findChild<QLineEdit*>("txtThroatLength");
    ASSERT_TRUE(divergence && throat_length);
    EXPECT_EQ(divergence->text(), "15");
    EXPECT_EQ(Read(), design);

    messages.answers = {MsgResult::kYes};
    cboUnits->setCurrentIndex(kInches);
    const PropellantChoice inches = Read();
    EXPECT_FLOAT_EQ(*inches.inputs.nozzle_throat_length, 0.1f);
    EXPECT_FLOAT_EQ(*inches.inputs.web_burnout, 0.001f);
    EXPECT_EQ(inches.inputs.nozzle_divergence, 15.0f);  // an angle stays an angle

    divergence->setText("95");
    messages.boxes.clear();
    dialog->accept();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "The nozzle's divergence half angle must be from 0 to below 90 degrees, not 95.");
    divergence->setText("");
    dialog->findChild<QLineEdit*>("txtErosiveAlpha")->setText("-1");
    messages.boxes.clear();
    dialog->accept();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "The erosive coefficient alpha must be 0 or more, not -1.");
}

// OK refuses what cannot give figures, saying which value, and stays open.
TEST_F(PropellantDialogTest, OkRefusesValuesThatCannotGiveFigures) {
    const struct {
        const char* field;  // "" for a burn-rate piece with n = 1
        const char* text;
        const char* message;
    } cases[] = {
        {"txtCStar", "fast", "c* must be a number."},
        {"", "", "Burn-rate piece 1: n must be below 1, not 1."},
        {"txtK", "0.9", "The specific heat ratio k must be above 1, not 0.9."},
        {"txtK", "x", "k must be a number, or empty."},
    };
    for (const auto& c : cases) {
        PropellantChoice design = MillimetreDesign();
        if (!*c.field) design.inputs.burn_rate[0].n = 1.0f;
        Open(design);
        messages.boxes.clear();
        if (*c.field) dialog->findChild<QLineEdit*>(c.field)->setText(c.text);
        dialog->accept();
        EXPECT_NE(dialog->result(), QDialog::Accepted) << c.message;
        ASSERT_EQ(messages.boxes.size(), 1u) << c.message;
        EXPECT_EQ(messages.boxes[0].text, c.message);
    }
}

// Numbers past the range of numbers, or past what a float keeps, are
// refused with the field named; nothing is thrown out of OK.
TEST_F(PropellantDialogTest, OkRefusesNumbersPastTheirRange) {
    const struct {
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {"txtCStar", "1e400", "c* is beyond the range of numbers (1e400)."},
        {"txtDensity", "1e39", "The density is too large to keep."},
        {"txtExit", "1e39", "The exit diameter is too large to keep."},
        {"txtAmbient", "1e35", "The ambient pressure is too large to keep."},
        {"txtHardwareMass", "-1", "The hardware mass must be 0 or more, or empty."},
    };
    for (const auto& c : cases) {
        Open(MillimetreDesign());
        messages.boxes.clear();
        dialog->findChild<QLineEdit*>(c.field)->setText(c.text);
        EXPECT_NO_THROW(dialog->accept()) << c.field;
        EXPECT_NE(dialog->result(), QDialog::Accepted) << c.field;
        ASSERT_EQ(messages.boxes.size(), 1u) << c.field;
        EXPECT_EQ(messages.boxes[0].text, c.message);
    }
}

// The real editor, answered by a user: a cancelled dialog is nothing; "no
// unit" keeps the design's four values as they were (their units unknown).
TEST_F(PropellantDialogTest, RealEditorAsAUserAnswersIt) {
    QtPropellantEditor editor;
    const PropellantChoice design = MillimetreDesign();
    auto answer = [](std::function<void(PropellantDialog&)> act) {
        QTimer::singleShot(0, [act] {
            auto* shown = qobject_cast<PropellantDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            act(*shown);
        });
    };
    answer([](PropellantDialog& shown) { shown.reject(); });
    EXPECT_FALSE(editor.Edit(design, nullptr).has_value());

    answer([](PropellantDialog& shown) {
        shown.findChild<QComboBox*>("cboUnits")->setCurrentIndex(kNoUnit);
        shown.accept();
    });
    const std::optional<PropellantChoice> none = editor.Edit(design, nullptr);
    ASSERT_TRUE(none.has_value());
    EXPECT_EQ(none->inputs, PerformanceInputs());
    EXPECT_EQ(none->c_star, design.c_star);
    EXPECT_EQ(none->a, design.a);

    answer([](PropellantDialog& shown) {
        shown.findChild<QLineEdit*>("txtCStar")->setText("950");
        shown.accept();
    });
    const std::optional<PropellantChoice> faster = editor.Edit(design, nullptr);
    ASSERT_TRUE(faster.has_value());
    EXPECT_EQ(faster->c_star, 950.0f);
    EXPECT_EQ(faster->inputs, design.inputs);
}

}  // namespace
}  // namespace thrustlet::testing
