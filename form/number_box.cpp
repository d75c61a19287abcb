// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/number_box.h"

#include <QFocusEvent>
#include <limits>

namespace wave::form {

NumberBox::NumberBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent) {
  setMaxLength(std::numeric_limits<int>::max());
  // Hints, not limits: an exponent's "e" must still get through.
  setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhPreferLatin |
                      Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
}

void NumberBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window or the input method's candidate list taking the focus
  // is not leaving the box: the learner comes back to the caret as it was.
  if (event->reason() == Qt::ActiveWindowFocusReason ||
      event->reason() == Qt::PopupFocusReason) {
    return;
  }
  setCursorPosition(0);
}

}  // namespace wave::form
