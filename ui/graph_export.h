#pragma once

#include <QImage>
#include <QString>

QT_BEGIN_NAMESPACE
class QAction;
QT_END_NAMESPACE

namespace thrustlet {

class Document;
class GraphLite;
class IDialogs;

// A graph as it shows, at `scale` times its size on the screen in the
// screen's device pixels.
QImage GraphImage(const GraphLite& graph, int scale);
// Asks where to save a graph's picture (as large as the file type chosen
// says), starting in `folder` with `name`, and writes it as a PNG; the file
// written, or "" when the user cancelled. Fails with a RunTimeError.
QString SaveGraphImage(const GraphLite& graph, IDialogs& dialogs, const QString& folder, const QString& name);
// A graph's own menu (right-click): Copy Image and Save Image..., for the
// graphs of a dialog.
void AddImageMenu(GraphLite& graph, IDialogs& dialogs);

// The graph's context menu: its picture to the clipboard or a PNG file, and
// its samples to a CSV file for a spreadsheet.
class GraphExport {
public:
    struct Controls {
        GraphLite* grKN;
        QAction* mnuShowPressure;  // the views whose curves the data adds
        QAction* mnuShowThrust;
        QAction* mnuShowMassFlux = nullptr;  // its data: each grain's flux against time
    };
    GraphExport(Document& document, IDialogs& dialogs, const Controls& controls);

    void mnuCopyImage_Click();
    void mnuSaveImage_Click();
    void mnuSaveData_Click();

    // The graph as it shows, at `scale` times its size on the screen in the
    // screen's device pixels.
    QImage Image(int scale) const;
    // The CSV of the design's Kn curve (with the shown view's pressure or
    // thrust); "" when the design has no curve yet.
    std::string DataCsv() const;

private:
    Document& document_;
    IDialogs& dialogs_;
    Controls ui_;
};

}  // namespace thrustlet
