#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "model/alerts.h"
#include "model/mass_flux.h"

QT_BEGIN_NAMESPACE
class QAction;
class QGroupBox;
class QLabel;
class QMainWindow;
class QTableWidget;
QT_END_NAMESPACE

namespace thrustlet {

class MotorRun;
class Document;
class ILimitsEditor;

// What the grains panel shows, for the edit history to show it again.
struct GrainsPanelShown {
    bool visible = false;
    std::vector<std::array<QString, 5>> rows;  // grain, mass, port/throat, peak flux, neutral length
    std::vector<std::array<int, 5>> marks;     // 0 plain, 1 warning, 2 danger, per cell
    std::vector<std::pair<bool, QString>> alerts;  // severe, sentence
    bool operator==(const GrainsPanelShown&) const = default;
};

// Will it hold: beside the Performance group, each grain's mass, port to
// throat ratio, peak mass flux and neutral length (the cells that cross a
// limit in the window's warning colours), and under them the alerts, one
// sentence each. The Motor menu's Limits... sets the limits.
class GrainsPanel {
public:
    struct Controls {
        QMainWindow* window;
        QGroupBox* Frame5;
        QTableWidget* grdGrainFigures;
        QLabel* lblAlerts;
        QAction* mnuLimits;
    };
    GrainsPanel(Document& document, const Controls& controls);
    ~GrainsPanel();

    // The dialog Limits... shows (a scripted one in tests).
    void SetEditor(std::unique_ptr<ILimitsEditor> editor);
    void SetRecalculation(std::function<void()> recalculate) { recalculate_ = std::move(recalculate); }

    void mnuLimits_Click();

    // Fills the panel (run by every recalculation): shown for a design with
    // a propellant.
    void Update(const MotorRun& run);
    void ShowCleared(const QString& why);
    void ShowOutOfDate(const QString& note);

    GrainsPanelShown Current() const;
    void Show(const GrainsPanelShown& shown);

private:
    void SetVisible(bool visible);

    Document& document_;
    Controls ui_;
    std::unique_ptr<ILimitsEditor> editor_;
    std::function<void()> recalculate_;
    GrainsPanelShown shown_;
};

}  // namespace thrustlet
