#include "accessible_roles.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace kestrel {

namespace {

constexpr char kRoleProperty[] = "kestrelAccessibleRole";

class CRoleAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  CRoleAccessible(QWidget* widget, QAccessible::Role role)
      : QAccessibleWidget(widget, role), value_(dynamic_cast<IAccessibleValue*>(widget)) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface && value_) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // Read-only: these controls show a value, the user does not set it.
  QVariant currentValue() const override { return value_->AccessibleValue(); }
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override { return value_->AccessibleMaximum(); }
  QVariant minimumValue() const override { return value_->AccessibleMinimum(); }
  QVariant minimumStepSize() const override { return 1; }

 private:
  IAccessibleValue* value_;
};

QAccessibleInterface* RoleFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  const QVariant role = widget->property(kRoleProperty);
  if (!role.isValid()) return nullptr;
  return new CRoleAccessible(widget, static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
  static const bool installed = (QAccessible::installFactory(&RoleFactory), true);
  (void)installed;
  widget->setProperty(kRoleProperty, static_cast<int>(role));
}

}  // namespace kestrel
