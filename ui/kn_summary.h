#pragma once

#include <QColor>
#include <QString>

#include "platform/graph_lite.h"
#include "ui/motor_performance.h"

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

namespace thrustlet {

class cMotor;
class Document;
class IBusyCursor;
class IDialogs;
class KnMaxOnce;
class TextBox;

// The motor summary and the Kn graph: the one recalculation of the window.
// It reads the throat from its field, stores it in the motor, redraws the
// graph and writes initial and maximum Kn, web, the nozzle-to-core area
// ratio with its colour warning, and the volume loading.
//
// Every figure shown belongs to the design on screen: a throat field that
// is not a number clears the performance and the graph as it does the Kn
// fields; after a nozzle search the figures say they are out of date until
// the next recalculation; New shows the empty design's.
class KnSummary {
public:
    struct Controls {
        TextBox* txtNozzleThroatDia;
        TextBox* txtKN;
        TextBox* txtMaxKn;
        QLabel* lblWeb;
        QLabel* lblGNRatio;
        QLabel* lblVolumeLoading;
        GraphLite* grKN;
    };
    KnSummary(Document& document, IDialogs& dialogs, IBusyCursor& cursor, const Controls& controls);
    // The performance group every recalculation fills too.
    void Attach(MotorPerformance& performance) { performance_ = &performance; }

    // The placeholder curve until the first motor is calculated.
    void InitGraph();
    // Reports its own failures (" in CalcKn") and always returns.
    void CalcKn();

    // After a nozzle search changed the throat without recalculating: the
    // figures (but the Kn field the target was typed into) are shown faded,
    // saying which throat they belong to.
    void MarkOutOfDate(TextBox* target_field);
    // The throat field shows the end of the search's range for a target no
    // throat reaches: a warning state with `why` as its tool tip, until the
    // next recalculation.
    void MarkTargetUnreached(const QString& why);
    // The figures of a design without grains, as the window starts: empty
    // labels, the placeholder graph, no performance.
    void ShowEmptyDesign();

    // What the summary shows (the Kn fields' texts included) and the graph,
    // for the edit history to show again exactly.
    struct Figures {
        QString kn, max_kn, web, ratio, volume_loading;
        QColor ratio_colour;
        GraphLite::State graph;
        MotorPerformance::Shown performance;
        // Out of date: the throat the figures belong to, and the Kn field
        // the target was typed into ("kn" or "max_kn"); "" when current.
        QString out_of_date, target_field;
        QString calculated_throat;  // the throat text the figures were calculated with
    };
    Figures Shown() const;
    void Show(const Figures& figures);
    // Draws the graph of the figures shown again (the throat they were
    // calculated with), in the view the user has chosen now.
    void RedrawGraph();

private:
    void WriteSummary(cMotor& motor, KnMaxOnce& kn_max);
    void SetRatioColour(float ratio);
    // Fades the figures for `throat` ("" shows them as current).
    void ShowOutOfDate(const QString& throat, const QString& target_field);
    void ClearTargetUnreached();
    // The throat field holds no usable throat: no performance, no curve.
    void ClearForThroat();

    Document& document_;
    IDialogs& dialogs_;
    IBusyCursor& cursor_;
    Controls ui_;
    MotorPerformance* performance_ = nullptr;
    QString calculated_throat_;  // the throat text of the last full recalculation
    QString out_of_date_, target_field_;
};

}  // namespace thrustlet
