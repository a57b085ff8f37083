#include "widgets/AccessibleRole.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace mirlet::ui {

namespace {

constexpr const char* kRoleProperty = "mirletAccessibleRole";

class RoleAccessible : public QAccessibleWidget {
 public:
  RoleAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

  QString text(QAccessible::Text type) const override {
    QString text = QAccessibleWidget::text(type);
    if (type == QAccessible::Name && text.isEmpty()) {
      if (auto* button = qobject_cast<QAbstractButton*>(widget())) text = button->text();
    }
    return text;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    if (auto* button = qobject_cast<QAbstractButton*>(widget()); button && button->isCheckable()) {
      state.checkable = true;
      state.checked = button->isChecked();
    }
    return state;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (qobject_cast<QAbstractButton*>(widget())) names.prepend(pressAction());
    return names;
  }

  void doAction(const QString& name) override {
    auto* button = qobject_cast<QAbstractButton*>(widget());
    if (button && name == pressAction()) return button->click();
    QAccessibleWidget::doAction(name);
  }
};

QAccessibleInterface* roleFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  const QVariant role = widget ? widget->property(kRoleProperty) : QVariant();
  if (!role.isValid()) return nullptr;
  // Qt owns what its factories make.
  return new RoleAccessible(widget, static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
  static const bool installed = [] {
    QAccessible::installFactory(&roleFactory);
    return true;
  }();
  (void)installed;
  widget->setProperty(kRoleProperty, static_cast<int>(role));
  // The widget's own constructor may have made its interface already (a text or
  // state set there is announced): the next one asked for is made with the role.
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
  if (made && made->role() != role) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

void announceAlert(QWidget* alert) {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent event(alert, QAccessible::Alert);
  QAccessible::updateAccessibility(&event);
}

}  // namespace mirlet::ui
