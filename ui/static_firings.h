#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

namespace thrustlet {

class Document;
class IFiringEditor;

// Motor > Static Firing: the design's firings and the law fitted to them,
// taken into the design as one undo step.
class StaticFirings {
public:
    StaticFirings(Document& document, QWidget* window);
    ~StaticFirings();
    void SetEditor(std::unique_ptr<IFiringEditor> editor);
    void SetRecalculation(std::function<void()> recalculate) { recalculate_ = std::move(recalculate); }

    void mnuStaticFiring_Click();

private:
    Document& document_;
    QWidget* window_;
    std::unique_ptr<IFiringEditor> editor_;
    std::function<void()> recalculate_;
};

}  // namespace thrustlet
