#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/motor_comparison.h"

QT_BEGIN_NAMESPACE
class QAction;
class QDialog;
class QLabel;
class QTableWidget;
class QWidget;
QT_END_NAMESPACE

namespace thrustlet {

class Document;
class GraphLite;
class IBusyCursor;
class IDialogs;
class MotorRun;
struct KnCurve;

// Motor > Compare With…: other designs (any file the program opens) laid
// over the design's pressure, thrust and mass-flux views as named dashed
// series, with their key figures in a small window beside this design's.
// The compared motors are files read once; the design itself may change
// and its figures follow. Comparing ends when that window closes.
class MotorComparison {
public:
    struct Controls {
        QWidget* window;
        QAction* mnuCompareWith;
        QAction* mnuStopComparing;
    };
    // Which of the window's views the overlay joins.
    enum class View { kPressure, kThrust, kMassFlux };
    struct Compared {
        std::string name;  // the file's name, as the series and the table show it
        std::string path;
        std::shared_ptr<const MotorRun> run;
        KeyFigures key;
    };
    // The table as it shows: a heading and a unit for each column, a row
    // for the design ("This design") and one for each compared motor.
    struct Table {
        QStringList headings, units;
        std::vector<QStringList> rows;
    };
    static constexpr std::size_t kMost = 8;  // compared motors at once

    MotorComparison(Document& document, IDialogs& dialogs, IBusyCursor& cursor, const Controls& controls);
    ~MotorComparison();

    // What draws the graph again once the motors compared changed.
    void SetRedraw(std::function<void()> redraw) { redraw_ = std::move(redraw); }

    void mnuCompareWith_Click();
    void mnuStopComparing_Click();
    // Reads a motor file and lays it beside the design; false (after saying
    // why, naming the file) when it cannot be compared.
    bool Add(const std::string& path);
    void Remove(std::size_t index);

    const std::vector<Compared>& Motors() const { return motors_; }
    bool Active() const { return !motors_.empty(); }
    // Counts the changes of the motors compared (for the edit history,
    // which redraws a graph it kept with other overlays).
    int Generation() const { return generation_; }
    // The longest compared burn (s), for the time views' axis; 0 without.
    double LongestBurn() const;

    // Adds the compared motors' curves to a view the design's own curve
    // was just drawn in (`curve` is the Kn curve the pressure view shows
    // them against: by burn depth, in each motor's own length unit).
    void Overlay(GraphLite& graph, const MotorRun& own, const KnCurve& curve, View view) const;
    Table TableFor(const MotorRun& own) const;
    // The design was figured again: its row follows.
    void ShowDesign(const MotorRun& own);

private:
    void ShowWindow();
    void Changed();

    Document& document_;
    IDialogs& dialogs_;
    IBusyCursor& cursor_;
    Controls ui_;
    std::vector<Compared> motors_;
    int generation_ = 0;
    std::function<void()> redraw_;
    QDialog* frmCompare = nullptr;
    QTableWidget* grdCompare = nullptr;
    QLabel* lblCompareNote = nullptr;
};

}  // namespace thrustlet
