#include "ui/graph_export.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include "model/motor_run.h"
#include "model/formats/curve_csv.h"
#include "platform/durable_file.h"
#include "model/motor.h"
#include "model/performance.h"
#include "platform/dialogs.h"
#include "platform/graph_lite.h"
#include "thrustlet/identity.h"
#include "ui/document.h"
#include "ui/report.h"

namespace thrustlet {

namespace {

// Image sizes offered by the file type (the filter's pairs, in order).
constexpr const char* kImageFilter =
    "PNG Image(*.png)| *.png| PNG Image, twice the size(*.png)| *.png| PNG Image, four times the size(*.png)| *.png";
constexpr int kImageScales[] = {1, 2, 4};

}  // namespace

GraphExport::GraphExport(Document& document, IDialogs& dialogs, const Controls& controls)
    : document_(document), dialogs_(dialogs), ui_(controls) {}

QImage GraphImage(const GraphLite& graph, int scale) {
    const qreal ratio = graph.devicePixelRatioF() * scale;
    QImage image((QSizeF(graph.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    graph.render(painter, QRectF(QPointF(0, 0), QSizeF(graph.size())));
    return image;
}

QString SaveGraphImage(const GraphLite& graph, IDialogs& dialogs, const QString& folder, const QString& name) {
    FileDialogRequest request{kImageFilter, folder, ".png", "Save graph image", 0x2 | 0x800, name};
    const FileDialogResult chosen = dialogs.ShowSave(request);
    if (chosen.file_name.isEmpty()) return QString();
    const int scale = kImageScales[std::clamp(chosen.filter_index, 0, 2)];
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!GraphImage(graph, scale).save(&buffer, "PNG")) throw RunTimeError(err::kDeviceIo, "Device I/O error");
    WriteFileAtomically(chosen.file_name.toStdString(), std::string_view(png.constData(), static_cast<size_t>(png.size())));
    return chosen.file_name;
}

void AddImageMenu(GraphLite& graph, IDialogs& dialogs) {
    auto* copy = new QAction("Copy Image", &graph);
    copy->setObjectName("mnuCopyImage");
    auto* save = new QAction("Save Image\u2026", &graph);
    save->setObjectName("mnuSaveImage");
    graph.addActions({copy, save});
    graph.setContextMenuPolicy(Qt::ActionsContextMenu);
    QObject::connect(copy, &QAction::triggered, &graph, [&graph] { QGuiApplication::clipboard()->setImage(GraphImage(graph, 1)); });
    QObject::connect(save, &QAction::triggered, &graph, [&graph, &dialogs] {
        Guarded(dialogs, "SaveImage", [&] { SaveGraphImage(graph, dialogs, QString(), graph.objectName().mid(2) + ".png"); });
    });
}

QImage GraphExport::Image(int scale) const { return GraphImage(*ui_.grKN, scale); }

void GraphExport::mnuCopyImage_Click() { QGuiApplication::clipboard()->setImage(Image(1)); }

void GraphExport::mnuSaveImage_Click() {
    Guarded(dialogs_, "SaveImage", [&] {
        const QString saved = SaveGraphImage(*ui_.grKN, dialogs_, document_.ExportFolder(), document_.ExportName(".png"));
        if (!saved.isEmpty()) document_.ExportedTo(saved);
    });
}

std::string GraphExport::DataCsv() const {
    cMotor& motor = document_.Motor();
    if (motor.GrainCount() <= 0 || !(motor.NozzleDia() > 0.0f)) return "";
    // The mass-flux view's data are what it draws: each grain's flux over time.
    if (ui_.mnuShowMassFlux && ui_.mnuShowMassFlux->isChecked() && ui_.mnuShowMassFlux->isEnabled()) {
        const MotorRun run = RunMotor(motor);
        if (!run.FluxTrace().times.empty()) return FluxCsv(run.FluxTrace());
    }
    const KnCurve curve = SampleKnCurve(motor);
    CurveColumns columns;
    columns.pressure = ui_.mnuShowPressure->isChecked() && ui_.mnuShowPressure->isEnabled();
    columns.thrust = ui_.mnuShowThrust->isChecked() && ui_.mnuShowThrust->isEnabled();
    std::vector<DepthFigures> figures;
    const std::optional<MotorRun> run =
        columns.pressure || columns.thrust ? std::optional<MotorRun>(RunMotor(motor)) : std::nullopt;
    if (run && run->Figures()) {
        figures = run->AtDepths(std::vector<double>(curve.depths.begin(), curve.depths.end()));
    } else {
        columns = {};
    }
    return CurveCsv(curve, figures, columns);
}

void GraphExport::mnuSaveData_Click() {
    Guarded(dialogs_, "SaveData", [&] {
        const std::string csv = DataCsv();
        if (csv.empty()) {
            dialogs_.MsgBox("There is no Kn curve to save yet: add grains and a nozzle throat first.", MsgButtons::kOk,
                            MsgIcon::kInformation, kProgramTitle);
            return;
        }
        FileDialogRequest request{"CSV Files(*.csv)| *.csv| All Files(*.*)| *.*",
                                  document_.ExportFolder(), ".csv", "Save graph data",
                                  0x2 | 0x800, document_.ExportName(".csv")};
        const FileDialogResult chosen = dialogs_.ShowSave(request);
        if (chosen.file_name.isEmpty()) return;
        WriteFileAtomically(chosen.file_name.toStdString(), csv);
        document_.ExportedTo(chosen.file_name);
    });
}

}  // namespace thrustlet
