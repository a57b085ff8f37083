#pragma once

#include <QAccessible>

class QWidget;

namespace mirlet::ui {

// Gives a widget the role screen readers should announce where its class says
// something else: a row of a section list (a checkable button) as a radio button,
// a banner as an alert. A button keeps its checked state and its press action.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// Tells screen readers that an alert has appeared, to be spoken at once.
void announceAlert(QWidget* alert);

}  // namespace mirlet::ui
