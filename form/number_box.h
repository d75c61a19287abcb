// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

namespace wave::form {

// A text box for a number. It asks the input method for plain Latin digits
// (a Japanese one in kana mode would give full-width ones), and once the
// learner leaves it, it shows the start of its text: a number longer than
// the box would otherwise show its end ("0.001" as "001").
class NumberBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit NumberBox(const QString& text, QWidget* parent = nullptr);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace wave::form
