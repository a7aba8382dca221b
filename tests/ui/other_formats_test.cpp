// Other programs' motor files in the window: opened as new, unsaved designs
// that Save keeps as Thrustlet files, refused with the reason, saved in
// their formats after saying what they cannot hold, and their propellant
// taken alone into the Propellant dialog.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>

#include "model/formats/motor_file.h"
#include "tests/support/window_fixture.h"
#include "ui/propellant_dialog.h"

namespace thrustlet::testing {
namespace {

QString Data(const char* name) { return QString(THRUSTLET_TEST_DATA_DIR) + "/" + name; }

class OtherFormatsTest : public WindowTest {
protected:
    QString Copy(const char* name) {
        const QString path = dir.filePath(name);
        QFile::copy(Data(name), path);
        return path;
    }
    void Answer(const QString& path, int filter = 0) { dialogs.files.push_back({path, QFileInfo(path).fileName(), filter}); }
    QAction* Action(const char* name) { return window->findChild<QAction*>(name); }

    QTemporaryDir dir;
};

// Open reads openMotor's file by its content: a new design with no file of
// its own, the caption saying where it came from, what did not come along
// said once; Save offers the same name as a Thrustlet file, and the recent
// list reopens either.
TEST_F(OtherFormatsTest, OpenedAsANewDesignThatSaveKeeps) {
    const QString ric = Copy("two_tab_54mm.ric");
    Answer(ric);
    ui->mnuOpen->trigger();
    EXPECT_EQ(doc().Motor().GrainCount(), 4);
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet - two_tab_54mm.ric (openMotor, not saved)");
    EXPECT_TRUE(doc().CurrentFile().empty());
    EXPECT_FALSE(doc().Changed());
    EXPECT_EQ(doc().RecentFiles()[1], ric.toStdString());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("two_tab_54mm.ric is openMotor's motor file: the design is new and not "
                                                 "saved (Save keeps it as a Thrustlet file)."));
    EXPECT_TRUE(dialogs.boxes[0].text.contains("\u2022 openMotor's simulation settings (flow separation warning"))
        << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "14.5");

    const QString tlt = dir.filePath("two_tab_54mm.tlt");
    Answer(tlt);
    ui->mnuSave->trigger();
    ASSERT_FALSE(dialogs.file_requests.empty());
    EXPECT_EQ(dialogs.file_requests.back().initial_name, "two_tab_54mm.tlt");
    EXPECT_EQ(dialogs.file_requests.back().filter, "Thrustlet Files(*.tlt)| *.tlt| All Files(*.*)| *.*");
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet - two_tab_54mm.tlt");
    cMotor saved;
    saved.ReadFromFile(tlt.toStdString());
    EXPECT_EQ(MotorFileText(saved), MotorFileText(doc().Motor()));

    // The saved design takes the import's place in the list: its entry
    // reopens what was saved, never the openMotor file without it.
    EXPECT_EQ(doc().RecentFiles()[1], tlt.toStdString());
    for (int i = 2; i <= 4; ++i) EXPECT_NE(doc().RecentFiles()[static_cast<size_t>(i)], ric.toStdString()) << i;
    Restart();
    EXPECT_EQ(doc().RecentFiles()[1], tlt.toStdString());
    ui->mnuRecent[1]->trigger();
    EXPECT_EQ(doc().CurrentFile(), tlt.toStdString());
}

// Import Motor offers the other programs' files; a motor the design cannot
// hold is refused with the reason, and the design on screen stays.
TEST_F(OtherFormatsTest, ImportOffersTheirFilesAndRefusesWhatCannotCome) {
    Answer(Copy("inch_bates.bsx"));
    Action("mnuImportMotor")->trigger();
    EXPECT_TRUE(dialogs.file_requests.back().filter.startsWith("All Motor Files(*.tlt;*.ric;*.bsx;*.json)| *.tlt;*.ric;*.bsx;*.json|"));
    EXPECT_EQ(doc().Motor().GrainCount(), 2);
    EXPECT_EQ(doc().Motor().Performance().units, LengthUnit::kInch);

    const QString star = dir.filePath("star.bsx");
    QFile file(star);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<Motor><Grain Type=\"4\" Diameter=\"1\" Length=\"1\"/></Motor>");
    file.close();
    dialogs.boxes.clear();
    Answer(star);
    Action("mnuImportMotor")->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text,
              "Invalid file format: grain 1 is a star grain: only BATES grains come into Thrustlet, and the motor "
              "without it would be another motor in OpenFile");
    EXPECT_EQ(doc().Motor().GrainCount(), 2);
    EXPECT_EQ(window->windowTitle(), "Veskarn - Thrustlet - inch_bates.bsx (BurnSim, not saved)");
}

// A Meteor builder's file opens as the motor Meteor showed: its grains, the
// full model, captioned as from Meteor and not saved.
TEST_F(OtherFormatsTest, MeteorFileOpensAsItsMotor) {
    Answer(Copy("meteor_v2_knsb_imperial.json"));
    Action("mnuImportMotor")->trigger();
    EXPECT_EQ(doc().Motor().GrainCount(), 3);
    EXPECT_EQ(doc().Motor().Performance().units, LengthUnit::kInch);
    EXPECT_EQ(doc().Motor().Performance().Model(), BurnModel::kFull);
    EXPECT_EQ(doc().Motor().Grains()[0]->Inhibited(), cGrain::Ends::kBoth);
    EXPECT_TRUE(window->windowTitle().endsWith("meteor_v2_knsb_imperial.json (Meteor, not saved)")) << window->windowTitle().toStdString();
}

// Save in Other Format: the type chosen gives a bare name its extension;
// what the format cannot hold is said first, and No writes nothing. The file
// becomes the design's, and Save writes it in its format again.
TEST_F(OtherFormatsTest, SavedInTheirFormatsAfterSayingWhatIsLeftOut) {
    const QString knsb = dir.filePath("knsb.tlt");
    QFile::copy(QString(THRUSTLET_EXAMPLES_DIR) + "/knsb_38mm.tlt", knsb);
    Answer(knsb);
    ui->mnuOpen->trigger();

    const QString bare = dir.filePath("for burnsim");
    Answer(bare, 1);  // BurnSim Files
    dialogs.answers.push_back(MsgResult::kNo);
    Action("mnuSaveInOtherFormat")->trigger();
    EXPECT_EQ(dialogs.file_requests.back().filter,
              "openMotor Files(*.ric)| *.ric| BurnSim Files(*.bsx)| *.bsx| Thrustlet Files(*.tlt)| *.tlt");
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_TRUE(dialogs.boxes.back().text.startsWith("for burnsim.bsx will be BurnSim's motor file, which cannot hold all "
                                                     "of the design:\n\n\u2022 BurnSim holds one burn-rate law"))
        << dialogs.boxes.back().text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(bare + ".bsx"));
    EXPECT_EQ(doc().CurrentFile(), knsb.toStdString());

    // A copy: the design keeps its own file, caption and unsaved state, and
    // Save goes on writing the design's own file.
    const QString title = window->windowTitle();
    AddGrain("57", "33", "12");
    ASSERT_TRUE(doc().Changed());
    Answer(bare, 1);
    dialogs.answers.push_back(MsgResult::kYes);
    Action("mnuSaveInOtherFormat")->trigger();
    ASSERT_TRUE(QFileInfo::exists(bare + ".bsx"));
    EXPECT_EQ(doc().CurrentFile(), knsb.toStdString());
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_TRUE(doc().Changed());

    QFile::remove(bare + ".bsx");
    const std::size_t asked = dialogs.boxes.size();
    ui->mnuSave->trigger();
    EXPECT_EQ(dialogs.boxes.size(), asked);  // the design's own file: nothing to ask
    EXPECT_FALSE(QFileInfo::exists(bare + ".bsx"));
    EXPECT_FALSE(doc().Changed());
}

// Import from File in the Propellant dialog takes just the propellant, in
// the dialog's units, with the molar mass it came with; a file that gives
// none says why.
TEST(PropellantImportTest, TakesThePropellantAlone) {
    ScriptedDialogs dialogs;
    PropellantChoice current;
    current.inputs.units = LengthUnit::kInch;
    current.inputs.nozzle_exit_dia = 1.5f;
    PropellantDialog dialog(current, dialogs);
    dialogs.files.push_back({Data("two_tab_54mm.ric"), "two_tab_54mm.ric", 0});
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdImportPropellant"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.file_requests.back().filter.startsWith("All Motor Files"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtName")->text(), "Test KNDX");
    EXPECT_EQ(dialog.findChild<QTableWidget*>("grdPieces")->rowCount(), 3);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtExit")->text(), "1.5");  // the nozzle stays
    EXPECT_TRUE(dialog.findChild<QLabel*>("lblSource")->text().startsWith("Propellant taken from two_tab_54mm.ric (openMotor)."));
    PropellantChoice read;
    QString problem;
    ASSERT_TRUE(dialog.Read(&read, &problem)) << problem.toStdString();
    EXPECT_EQ(read.inputs.units, LengthUnit::kInch);
    EXPECT_EQ(read.inputs.molar_mass, 42.39f);
    EXPECT_EQ(read.density, 1780.0f);
    EXPECT_EQ(read.inputs.burn_rate.size(), 3u);
    EXPECT_EQ(read.inputs.burn_rate[2].n, 0.4f);

    dialogs.files.push_back({QString(THRUSTLET_EXAMPLES_DIR) + "/two_grain.tlt", "two_grain.tlt", 0});
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdImportPropellant"), Qt::LeftButton);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "two_grain.tlt has no propellant the program can use: its design names no unit.");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtName")->text(), "Test KNDX");
}

}  // namespace
}  // namespace thrustlet::testing
