#pragma once

namespace thrustlet {

// A new widget (or action) with its object name: the name tests and
// accessibility tools find it by.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace thrustlet
