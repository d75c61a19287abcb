// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/model_events.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QWidget>

namespace wave::form {
namespace {

window::Key KeyOf(int key) {
  switch (key) {
    case Qt::Key_P:
      return window::Key::kP;
    case Qt::Key_S:
      return window::Key::kS;
    case Qt::Key_Escape:
      return window::Key::kEscape;
    case Qt::Key_Left:
      return window::Key::kLeft;
    case Qt::Key_Right:
      return window::Key::kRight;
    case Qt::Key_Up:
      return window::Key::kUp;
    case Qt::Key_Down:
      return window::Key::kDown;
    case Qt::Key_PageUp:
      return window::Key::kPageUp;
    case Qt::Key_PageDown:
      return window::Key::kPageDown;
    default:
      return window::Key::kOther;
  }
}

}  // namespace

window::FormModel::Picture PictureFor(const QWidget& window) {
  return {QApplication::palette().color(QPalette::Window).rgb() & 0xFFFFFFu,
          FrameRasteriser::PixelOrder::kArgb32, 0,
          static_cast<double>(window.logicalDpiX())};
}

window::KeyPress KeyPressOf(const QKeyEvent& event) {
  window::KeyPress key;
  key.key = KeyOf(event.key());
  key.shift = event.modifiers().testFlag(Qt::ShiftModifier);
  key.otherModifier =
      (event.modifiers() &
       (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
  return key;
}

}  // namespace wave::form
