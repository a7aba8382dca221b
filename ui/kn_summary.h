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

    // What the summary shows (the Kn fields' texts included) and the graph,
    // for the edit history to show again exactly.
    struct Figures {
        QString kn, max_kn, web, ratio, volume_loading;
        QColor ratio_colour;
        GraphLite::State graph;
        MotorPerformance::Shown performance;
    };
    Figures Shown() const;
    void Show(const Figures& figures);

private:
    void WriteSummary(cMotor& motor, KnMaxOnce& kn_max);
    void SetRatioColour(float ratio);

    Document& document_;
    IDialogs& dialogs_;
    IBusyCursor& cursor_;
    Controls ui_;
    MotorPerformance* performance_ = nullptr;
};

}  // namespace thrustlet
