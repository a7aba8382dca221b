// The design loop driven through the real window: type grains, read the
// summary, size the throat.
#include <QApplication>
#include <QLocale>

#include "tests/support/window_fixture.h"
#include "ui/grain_editor.h"
#include "ui/nozzle_sizing.h"

namespace thrustlet::testing {
namespace {

class DesignLoopTest : public WindowTest {
protected:
    void ExampleMotor() {
        AddGrain("4", "2", "1");
        AddGrain("4", "2", "1");
        Type(ui->txtNozzleThroatDia, "0.5");
        Leave(ui->txtNozzleThroatDia);
    }
    QString Kn() const { return ui->txtKN->text(); }
    QString MaxKn() const { return ui->txtMaxKn->text(); }
    QColor RatioColour() const { return ui->lblGNRatio->palette().color(QPalette::WindowText); }
    QColor DefaultColour() const { return QApplication::palette().color(QPalette::ButtonText); }
    QStringList GridRow(int row) const {
        QStringList cells;
        for (int col = 0; col < 4; ++col) cells << ui->grdGrains->TextMatrix(row, col);
        return cells;
    }
};

TEST_F(DesignLoopTest, ExampleMotorShowsItsFigures) {
    ExampleMotor();
    EXPECT_EQ(Kn(), "176");
    EXPECT_EQ(MaxKn(), "197");
    EXPECT_EQ(ui->lblWeb->text(), "0.5");
    EXPECT_EQ(ui->lblGNRatio->text(), "0.25");
    EXPECT_EQ(RatioColour(), DefaultColour());
    EXPECT_EQ(ui->lblVolumeLoading->text(), "75%");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(doc().Busy());
    EXPECT_FALSE(cursor.hourglass);
    EXPECT_TRUE(doc().Changed());
    EXPECT_EQ(ui->grKN->Title(), "kn vs. Burn Depth");
    EXPECT_EQ(ui->grKN->Table().Columns(), 502);
    EXPECT_EQ(ui->grKN->VerticalMaximum(), 247.0);
    EXPECT_EQ(ui->grKN->HorizontalLabelStep(), 125.0);
    EXPECT_EQ(ui->grKN->Series().at(1).label, "Pc");
}

TEST_F(DesignLoopTest, TypingTheInitialKnSizesTheThroat) {
    ExampleMotor();
    Type(ui->txtNozzleThroatDia, "0.3");
    Type(ui->txtKN, "176");  // leaving the nozzle field recalculates for 0.3
    const QString max_kn_at_0_3 = MaxKn();
    EXPECT_NE(max_kn_at_0_3, "197");
    PressEnter(ui->txtKN);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.5");
    EXPECT_NEAR(doc().Motor().NozzleDia(), 0.5f, 1e-5f);  // the last trial, on the 32-bit grid
    EXPECT_EQ(doc().Motor().KN(0.0f), 176.0);
    // The summary stays as it was until the next recalculation.
    EXPECT_EQ(MaxKn(), max_kn_at_0_3);
    Type(ui->txtMaxKn, "100");
    Leave(ui->txtMaxKn);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.705");
    EXPECT_EQ(Kn(), "176");  // stale until the nozzle field is left
    EXPECT_EQ(MaxKn(), "100");
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(MaxKn(), "99");
    EXPECT_FALSE(cursor.hourglass);
}

TEST_F(DesignLoopTest, SearchEdgesAndBadTargets) {
    ExampleMotor();
    Type(ui->txtKN, "100000");
    PressEnter(ui->txtKN);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.1");
    Type(ui->txtKN, "-1");
    PressEnter(ui->txtKN);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "3");
    Type(ui->txtKN, "N/A");
    PressEnter(ui->txtKN);
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "3");  // no search
    EXPECT_TRUE(dialogs.boxes.empty());
    Type(ui->txtMaxKn, "1e39");
    PressEnter(ui->txtMaxKn);
    ASSERT_EQ(dialogs.Texts(), QStringList{"Overflow in SetMaxKn"});
    EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::kInformation);
    EXPECT_EQ(dialogs.boxes[0].title, "Thrustlet");
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "3");
}

TEST_F(DesignLoopTest, LeavingAFieldMarksTheMotorChangedAndBusyBlocksSearches) {
    for (TextBox* field : {ui->txtKN, ui->txtMaxKn, ui->txtNozzleThroatDia}) {
        doc().SetChanged(false);
        Leave(field);
        EXPECT_TRUE(doc().Changed()) << field->objectName().toStdString();
    }
    ExampleMotor();
    doc().SetBusy(true);
    Type(ui->txtKN, "100");
    window->Sizing().txtKN_LostFocus();
    EXPECT_EQ(ui->txtNozzleThroatDia->text(), "0.5");  // ignored while busy
    doc().SetBusy(false);
}

TEST_F(DesignLoopTest, SearchFailuresNameTheirRoutine) {
    ExampleMotor();
    for (auto [field, routine] : {std::pair{ui->txtKN, "SetIntialKn"}, std::pair{ui->txtMaxKn, "SetMaxKn"}}) {
        dialogs.boxes.clear();
        Type(field, "1e39");
        PressEnter(field);
        EXPECT_EQ(dialogs.Texts(), QStringList{QString("Overflow in ") + routine});
        field->setText("");  // leaving it later must not search again
    }
}

TEST_F(DesignLoopTest, VolumeLoadingShowsOneDecimal) {
    AddGrain("4", "1", "0.572");  // 1 - 0.572^2 = 67.28 %
    Type(ui->txtNozzleThroatDia, "0.3");
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(ui->lblVolumeLoading->text(), "67.3%");
}

TEST_F(DesignLoopTest, NotApplicableWithoutGrainsOrThroat) {
    AddGrain("4", "2", "1");
    EXPECT_EQ(Kn(), "N/A");  // no nozzle yet
    EXPECT_EQ(MaxKn(), "N/A");
    for (const char* nozzle : {"", "abc", "0", "-0.5"}) {
        Type(ui->txtNozzleThroatDia, "0.5");
        Leave(ui->txtNozzleThroatDia);
        ASSERT_EQ(Kn(), "88");
        Type(ui->txtNozzleThroatDia, nozzle);
        Leave(ui->txtNozzleThroatDia);
        EXPECT_EQ(Kn(), "N/A") << nozzle;
        EXPECT_EQ(doc().Motor().NozzleDia(), 0.5f) << nozzle;
        EXPECT_EQ(ui->lblWeb->text(), "0.5") << nozzle;  // labels keep what they showed
    }
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    ClickRow(1);
    Click(ui->cmdRemove);
    EXPECT_EQ(ui->grdGrains->Rows(), 1);
    EXPECT_EQ(Kn(), "N/A");
    EXPECT_EQ(ui->lblVolumeLoading->text(), "75%");
}

TEST_F(DesignLoopTest, RatioColourEdges) {
    const struct {
        const char* core;
        const char* nozzle;
        const char* ratio;
        QColor colour;
    } cases[] = {
        {"1", "0.8", "0.64", DefaultColour()},  {"1", "0.806", "0.65", QColor(255, 255, 0)},
        {"1", "0.79", "0.62", DefaultColour()}, {"1", "1", "1", QColor(255, 255, 0)},
        {"1", "1.01", "1.02", QColor(255, 0, 0)},
    };
    for (const auto& c : cases) {
        ui->lblGNRatio->setPalette(QPalette(QColor(1, 2, 3)));
        doc().ReplaceMotor(nullptr);
        AddGrain("4", "2", c.core);
        Type(ui->txtNozzleThroatDia, c.nozzle);
        Leave(ui->txtNozzleThroatDia);
        EXPECT_EQ(ui->lblGNRatio->text(), c.ratio) << c.nozzle;
        EXPECT_EQ(RatioColour(), c.colour) << c.nozzle;
    }
}

TEST_F(DesignLoopTest, RatioUsesTheNozzleEndGrainOnly) {
    AddGrain("4", "2", "0.5");
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "0.5");
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(ui->lblGNRatio->text(), "0.25");
}

TEST_F(DesignLoopTest, ZeroCoreInTheLastGrainStopsAfterTheWeb) {
    ExampleMotor();
    ui->lblGNRatio->setText("old ratio");
    ui->lblVolumeLoading->setText("old loading");
    doc().Motor().Grain(2)->SetCoreDiameter(0.0f);  // as a motor file may hold
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(dialogs.Texts(), QStringList{"Division by zero in CalcKn"});
    EXPECT_EQ(ui->lblWeb->text(), "1");
    EXPECT_NE(Kn(), "176");
    EXPECT_EQ(ui->lblGNRatio->text(), "old ratio");
    EXPECT_EQ(ui->lblVolumeLoading->text(), "old loading");
    EXPECT_FALSE(doc().Busy());
    EXPECT_FALSE(cursor.hourglass);
}

TEST_F(DesignLoopTest, UnknownGrainTypeIsReportedByGraphAndSummary) {
    ExampleMotor();
    doc().Motor().Grain(1)->SetGrainType(3);
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(dialogs.Texts(), QStringList({"Unknown Grain Type: 3 in GraphKn", "Unknown Grain Type: 3 in CalcKn"}));
    EXPECT_FALSE(doc().Busy());
}

TEST_F(DesignLoopTest, AddRefusesBadFieldsButMarksTheMotorChanged) {
    for (auto fields : std::vector<QStringList>{{"", "2", "1"}, {"4", "abc", "1"}, {"4", "2", "0"},
                                                {"-4", "2", "1"}, {"1e39", "2", "1"}, {"4", "2", "1e-50"}}) {
        doc().SetChanged(false);
        dialogs.boxes.clear();
        AddGrain(fields[0], fields[1], fields[2]);
        EXPECT_TRUE(doc().Changed());
        EXPECT_EQ(dialogs.Texts(), QStringList{"All Grain Fields must have positive numbers"}) << fields.join(",").toStdString();
        EXPECT_EQ(doc().Motor().GrainCount(), 0);
        EXPECT_EQ(ui->grdGrains->Rows(), 1);
    }
}

TEST_F(DesignLoopTest, AddAppendsAndSelectsTheFirstRow) {
    AddGrain("1.50", "2", "1");
    AddGrain("3", "2", "0.5");
    Click(ui->cmdAdd);  // the fields keep their text
    ASSERT_EQ(ui->grdGrains->Rows(), 4);
    EXPECT_EQ(GridRow(1), QStringList({"1", "1.5", "2", "1"}));
    EXPECT_EQ(GridRow(3), QStringList({"3", "3", "2", "0.5"}));
    EXPECT_EQ(ui->grdGrains->Row(), 1);
    EXPECT_EQ(ui->grdGrains->RowSel(), 1);
    EXPECT_EQ(ui->grdGrains->Col(), 1);
    EXPECT_EQ(ui->grdGrains->ColSel(), 3);
    EXPECT_EQ(ui->txtGrainLength->text(), "3");
}

TEST_F(DesignLoopTest, ClickCopiesTheEndRowsCells) {
    AddGrain("1", "2", "0.5");
    AddGrain("2", "3", "1");
    AddGrain("3", "4", "1.5");
    ClickRow(1, 3);
    EXPECT_EQ(ui->txtGrainLength->text(), "3");
    EXPECT_EQ(ui->txtGrainDiameter->text(), "4");
    EXPECT_EQ(ui->txtCoreDiameter->text(), "1.5");
}

TEST_F(DesignLoopTest, ApplyChangesTheSelectedRangeDownwardsOnly) {
    for (int i = 1; i <= 5; ++i) AddGrain(QString::number(i), "2", "1");
    ClickRow(2, 4);
    Type(ui->txtGrainLength, "9");
    Click(ui->cmdApplyChanges);
    for (int row = 1; row <= 5; ++row) {
        EXPECT_EQ(ui->grdGrains->TextMatrix(row, 1), (row >= 2 && row <= 4) ? "9" : QString::number(row));
    }
    EXPECT_EQ(ui->grdGrains->Row(), 2);  // the selection comes back
    EXPECT_EQ(ui->grdGrains->RowSel(), 4);
    EXPECT_EQ(ui->grdGrains->ColSel(), 1);

    ClickRow(4, 2);  // dragged upwards: an empty range
    Type(ui->txtGrainLength, "7");
    const int redraws = ui->grKN->Redraws();
    Click(ui->cmdApplyChanges);
    EXPECT_EQ(ui->grdGrains->TextMatrix(3, 1), "9");
    EXPECT_GT(ui->grKN->Redraws(), redraws - 1);
    EXPECT_EQ(ui->grdGrains->Row(), 4);
    EXPECT_EQ(ui->grdGrains->RowSel(), 2);
}

TEST_F(DesignLoopTest, RemoveTakesOnlyTheEndRow) {
    for (int i = 1; i <= 5; ++i) AddGrain(QString::number(i), "2", "1");
    ClickRow(2, 4);
    Click(ui->cmdRemove);
    ASSERT_EQ(ui->grdGrains->Rows(), 5);
    // Grain 4 (the end row) went, not grain 2 (the anchor).
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(ui->grdGrains->TextMatrix(row, 1), QString::number(row < 4 ? row : 5)) << row;
    }
    EXPECT_EQ(ui->grdGrains->TextMatrix(4, 0), "4");
    EXPECT_EQ(ui->txtGrainLength->text(), "4");  // fields keep their text
}

TEST_F(DesignLoopTest, EmptyTableButtonsOnlyMarkTheMotorChanged) {
    for (QPushButton* button : {ui->cmdApplyChanges, ui->cmdRemove}) {
        doc().SetChanged(false);
        Type(ui->txtGrainLength, "1");
        Click(button);
        EXPECT_TRUE(doc().Changed());
        EXPECT_EQ(ui->grdGrains->Rows(), 1);
        EXPECT_TRUE(dialogs.boxes.empty());
    }
    window->Grains().grdGrains_Click();
    EXPECT_EQ(ui->txtGrainDiameter->text(), "");
}

TEST_F(DesignLoopTest, FullTableRefusesAnotherGrain) {
    auto grain = std::make_shared<cGrain>();
    grain->SetGrainType(1);
    grain->SetLength(4);
    grain->SetDiameter(2);
    grain->SetCoreDiameter(1);
    for (int i = 0; i < 32766; ++i) doc().Motor().AddGrain(grain);
    AddGrain("4", "2", "1");
    EXPECT_EQ(doc().Motor().GrainCount(), 32766);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains("32766"));
}

class GermanLocaleTest : public DesignLoopTest {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        DesignLoopTest::SetUp();
    }
    void TearDown() override {
        DesignLoopTest::TearDown();
        QLocale::setDefault(QLocale::c());
    }
};

TEST_F(GermanLocaleTest, CommaDecimalsInAndOut) {
    AddGrain("4", "2", "0,75");
    AddGrain("4", "2", "1");
    Type(ui->txtNozzleThroatDia, "0,5");
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(ui->grdGrains->TextMatrix(1, 3), "0,75");
    EXPECT_EQ(ui->lblGNRatio->text(), "0,25");
    EXPECT_EQ(ui->lblWeb->text(), "0,62");  // 0.625 to even
    Type(ui->txtNozzleThroatDia, "0.5");  // a point is not a decimal here
    Leave(ui->txtNozzleThroatDia);
    EXPECT_EQ(Kn(), "N/A");
    Type(ui->txtKN, "150");
    PressEnter(ui->txtKN);
    EXPECT_TRUE(ui->txtNozzleThroatDia->text().contains(','));
}

}  // namespace
}  // namespace thrustlet::testing
