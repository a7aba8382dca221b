#include "ui/out_of_date.h"

#include <QGraphicsOpacityEffect>
#include <QWidget>

namespace thrustlet {

namespace {
// Faded enough to read as set aside, clear enough to still be read.
constexpr double kFadedOpacity = 0.4;
}  // namespace

void ShowOutOfDate(QWidget* widget, bool faded, const QString& why) {
    if (widget->property("outOfDate").toBool() == faded && (!faded || widget->toolTip() == why)) return;
    widget->setProperty("outOfDate", faded);
    if (faded) {
        auto* effect = new QGraphicsOpacityEffect(widget);
        effect->setOpacity(kFadedOpacity);
        widget->setGraphicsEffect(effect);  // the widget owns it
        widget->setToolTip(why);
    } else {
        widget->setGraphicsEffect(nullptr);
        widget->setToolTip(QString());
    }
}

QString OutOfDateNote(const QString& throat) {
    return "Out of date: these figures are for the nozzle throat " + throat +
           ". Press Enter in the throat field to recalculate.";
}

}  // namespace thrustlet
