#pragma once

#include <QString>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

namespace thrustlet {

// Shows a figure's widget faded, with `why` as its tool tip, while its
// figure no longer belongs to the design on screen; `faded` false puts it
// back as it was. The widget's own colours (the ratio's warning) stay.
// The widget's "outOfDate" property says which it is.
void ShowOutOfDate(QWidget* widget, bool faded, const QString& why = QString());

// The sentence that says so, naming the throat the figures belong to.
QString OutOfDateNote(const QString& throat);

}  // namespace thrustlet
