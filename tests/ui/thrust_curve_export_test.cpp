// File > Export Thrust Curve: RASP's .eng or, for a .rse name, RockSim's
// form with the motor's mass and centre of gravity.
#include <QAction>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "model/formats/engine_file.h"
#include "model/motor_run.h"
#include "tests/support/grains.h"
#include "tests/support/knsb_motor.h"
#include "tests/support/window_fixture.h"

namespace thrustlet::testing {
namespace {

class ThrustCurveExportTest : public WindowTest {
protected:
    std::string Exported(const QString& name) {
        const QString path = dir.filePath(name);
        dialogs.files.push_back({path, name});
        window->findChild<QAction*>("mnuExportThrustCurve")->trigger();
        std::ifstream in(path.toStdString(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Opens a two-grain KNSB design saved as m.tlt.
    void OpenTwoGrainDesign() {
        cMotor design = KnsbMotor({MakeGrain(57.0f, 33.0f, 12.0f), MakeGrain(57.0f, 33.0f, 12.0f)}, 8.5f, 22.0f);
        const QString path = dir.filePath("m.tlt");
        design.SaveToFile(path.toStdString());
        dialogs.files.push_back({path, "m.tlt"});
        ui->mnuOpen->trigger();
    }
    QTemporaryDir dir;
};

TEST_F(ThrustCurveExportTest, EngOrRseByTheNameChosen) {
    OpenTwoGrainDesign();
    const std::string eng = Exported("m.eng");
    EXPECT_EQ(eng.rfind("; Thrust curve of m.tlt", 0), 0u) << eng;
    EXPECT_NEAR(EngineFileImpulse(eng), RunMotor(doc().Motor()).Figures()->total_impulse,
                0.01 * RunMotor(doc().Motor()).Figures()->total_impulse);
    const std::string rse = Exported("m.rse");
    EXPECT_EQ(rse.rfind("<engine-database>", 0), 0u) << rse;
    EXPECT_NE(rse.find("<eng-data t=\"0\""), std::string::npos);
    EXPECT_NE(rse.find(" cg=\""), std::string::npos);
    ASSERT_FALSE(dialogs.file_requests.empty());
    EXPECT_TRUE(dialogs.file_requests.back().filter.contains("*.rse"));
}

// The export asks for the ejection delays, offering P (then the last ones
// given), asks again with why for ones a file cannot hold, and writes
// nothing when the question is cancelled.
TEST_F(ThrustCurveExportTest, DelaysAreAskedFor) {
    OpenTwoGrainDesign();
    dialogs.inputs = {QString("six"), QString("4, 6")};
    const std::string eng = Exported("d.eng");
    ASSERT_EQ(dialogs.offered, std::vector<QString>({"P", "P"}));
    EXPECT_TRUE(dialogs.input_prompts[1].startsWith("The delays are P for a plugged motor")) << dialogs.input_prompts[1].toStdString();
    EXPECT_NE(eng.find(" 4-6 "), std::string::npos) << eng;
    const std::string rse = Exported("d.rse");
    EXPECT_EQ(dialogs.offered.back(), "4-6");
    EXPECT_NE(rse.find(" delays=\"4,6\" "), std::string::npos);
    dialogs.inputs = {std::nullopt};
    EXPECT_TRUE(Exported("cancelled.eng").empty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("cancelled.eng")));
}

}  // namespace
}  // namespace thrustlet::testing
