// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/accessible_widgets.h"

#include "form/form_window.h"
#include "form/picture_view.h"
#include "form/speed_bar.h"

namespace wave::form {

PictureAccessible::PictureAccessible(PictureView* view)
    : QAccessibleWidget(view, QAccessible::Graphic) {}

QString PictureAccessible::text(QAccessible::Text t) const {
  switch (t) {
    case QAccessible::Description:
      return static_cast<const PictureView*>(widget())->Describe();
    default:
      return QAccessibleWidget::text(t);
  }
}

SpeedBarAccessible::SpeedBarAccessible(SpeedBar* bar)
    : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

SpeedBar* SpeedBarAccessible::bar() const {
  return static_cast<SpeedBar*>(widget());
}

void* SpeedBarAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::ValueInterface) {
    return static_cast<QAccessibleValueInterface*>(this);
  }
  return QAccessibleWidget::interface_cast(t);
}

QString SpeedBarAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Description) {
    return bar()->stateWords();
  }
  if (t == QAccessible::Value) return bar()->valueWords();
  return QAccessibleWidget::text(t);
}

QVariant SpeedBarAccessible::currentValue() const {
  return bar()->intervalMs();
}

void SpeedBarAccessible::setCurrentValue(const QVariant& value) {
  bar()->setIntervalMs(value.toInt());
}

QVariant SpeedBarAccessible::maximumValue() const {
  return SpeedBar::kMaximumMs;
}

QVariant SpeedBarAccessible::minimumValue() const {
  return SpeedBar::kMinimumMs;
}

QVariant SpeedBarAccessible::minimumStepSize() const {
  return SpeedBar::kSmallStepMs;
}

namespace {

QAccessibleInterface* AccessibleFor(const QString& className, QObject* o) {
  // The window is a frame to a screen reader, not a filler.
  if (className == QLatin1String(FormWindow::staticMetaObject.className())) {
    return new QAccessibleWidget(static_cast<QWidget*>(o), QAccessible::Window);
  }
  if (className == QLatin1String(PictureView::staticMetaObject.className())) {
    return new PictureAccessible(static_cast<PictureView*>(o));
  }
  if (className == QLatin1String(SpeedBar::staticMetaObject.className())) {
    return new SpeedBarAccessible(static_cast<SpeedBar*>(o));
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleWidgets() {
  static const bool installed = [] {
    QAccessible::installFactory(AccessibleFor);
    return true;
  }();
  (void)installed;
}

}  // namespace wave::form
