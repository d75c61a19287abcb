// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

namespace wave::form {

// A thick ring around the control that has the keyboard focus, so that a
// class can follow the focus on a projector. It shows once the keyboard is
// used and hides at a mouse press, so a window worked with the mouse looks
// as it always did. It lies outside the control, above everything, and
// takes no clicks.
class FocusRing : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 4;  // logical pixels

  explicit FocusRing(QWidget* window);

  QWidget* target() const { return target_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Follow(QWidget* focus);
  void Place();

  QPointer<QWidget> target_;
  bool keyboardInUse_ = false;
};

}  // namespace wave::form
