// Inhibited ends in the window: the grain table's menu sets them on the
// selected grains as one edit, a column shows them while a grain has one,
// and the Kn figures, undo and the saved file follow.
#include <QAction>
#include <QTemporaryDir>

#include "model/formats/motor_file.h"
#include "tests/support/window_fixture.h"

namespace thrustlet::testing {
namespace {

class InhibitedEndsWindowTest : public WindowTest {
protected:
    QAction* Menu(const char* name) { return window->findChild<QAction*>(name); }
};

TEST_F(InhibitedEndsWindowTest, TheTablesMenuSetsTheSelectedGrains) {
    for (int i = 0; i < 3; ++i) AddGrain("57", "33", "12");
    Type(ui->txtNozzleThroatDia, "9");
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(ui->grdGrains->Cols(), 4);  // no grain inhibited: the table as it always was
    const QString kn_before = ui->txtKN->text();

    ClickRow(2, 3);
    ASSERT_NE(Menu("mnuInhibitForward"), nullptr);
    Menu("mnuInhibitForward")->trigger();
    EXPECT_EQ(ui->grdGrains->Cols(), 5);
    EXPECT_EQ(ui->grdGrains->TextMatrix(0, 4), "Inhibited");
    EXPECT_EQ(ui->grdGrains->TextMatrix(1, 4), "");
    EXPECT_EQ(ui->grdGrains->TextMatrix(2, 4), "forward");
    EXPECT_EQ(ui->grdGrains->TextMatrix(3, 4), "forward");
    EXPECT_EQ(doc().Motor().Grain(2)->Inhibited(), cGrain::Ends::kForward);
    EXPECT_EQ(doc().Motor().Grain(1)->Inhibited(), cGrain::Ends::kNone);
    // Two faces fewer burn: a lower initial Kn, figured at once.
    EXPECT_LT(ui->txtKN->text().toDouble(), kn_before.toDouble());
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(doc().History().undoText(), "Inhibited Ends");

    // Saved as Inhibited lines and opened again as they were.
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/inhibited.tlt").toStdString();
    doc().Motor().SaveToFile(path);
    cMotor reopened;
    reopened.ReadFromFile(path);
    EXPECT_EQ(reopened.Grain(3)->Inhibited(), cGrain::Ends::kForward);
    EXPECT_NE(MotorFileText(doc().Motor()).find("Inhibited:2,forward\r\nInhibited:3,forward\r\n"), std::string::npos);

    ui->mnuUndo->trigger();
    EXPECT_EQ(doc().Motor().Grain(2)->Inhibited(), cGrain::Ends::kNone);
    EXPECT_EQ(ui->grdGrains->Cols(), 4);
    EXPECT_EQ(ui->txtKN->text(), kn_before);
    ui->mnuRedo->trigger();
    EXPECT_EQ(doc().Motor().Grain(3)->Inhibited(), cGrain::Ends::kForward);

    ClickRow(1, 3);
    Menu("mnuInhibitNone")->trigger();
    EXPECT_EQ(ui->grdGrains->Cols(), 4);
    EXPECT_EQ(ui->txtKN->text(), kn_before);
}

}  // namespace
}  // namespace thrustlet::testing
