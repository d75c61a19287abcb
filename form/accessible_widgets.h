// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

namespace wave::form {

class PictureView;
class SpeedBar;

// The picture: a graphic, named as the model calls it, whose description
// says what it shows.
class PictureAccessible : public QAccessibleWidget {
 public:
  explicit PictureAccessible(PictureView* view);
  QString text(QAccessible::Text t) const override;
};

// The speed bar: its value is the wait between steps in milliseconds (the
// bar's own position runs the other way, so that right is faster), and its
// description ends with that wait in words.
class SpeedBarAccessible : public QAccessibleWidget,
                           public QAccessibleValueInterface {
 public:
  explicit SpeedBarAccessible(SpeedBar* bar);
  void* interface_cast(QAccessible::InterfaceType t) override;
  QString text(QAccessible::Text t) const override;

  QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  QVariant maximumValue() const override;
  QVariant minimumValue() const override;
  QVariant minimumStepSize() const override;

 private:
  SpeedBar* bar() const;
};

// Makes the two above what a screen reader gets for these widgets, and the
// window a frame. Safe to call more than once.
void InstallAccessibleWidgets();

}  // namespace wave::form
