// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/focus_ring.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>

namespace wave::form {

FocusRing::FocusRing(QWidget* window) : QWidget(window) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  hide();
  qApp->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { Follow(now); });
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
  const auto* widget = qobject_cast<QWidget*>(watched);
  const bool ours = widget != nullptr && widget->window() == window();
  if (ours && event->type() == QEvent::KeyPress) {
    keyboardInUse_ = true;
    Follow(QApplication::focusWidget());
  } else if (ours && event->type() == QEvent::MouseButtonPress) {
    keyboardInUse_ = false;
    hide();
  } else if (watched == target_ && (event->type() == QEvent::Move ||
                                    event->type() == QEvent::Resize)) {
    Place();
  }
  return false;
}

void FocusRing::Follow(QWidget* focus) {
  target_ = focus != nullptr && focus->window() == window() && focus != window()
                ? focus
                : nullptr;
  Place();
}

void FocusRing::Place() {
  if (!keyboardInUse_ || target_ == nullptr || !target_->isVisible()) {
    hide();
    return;
  }
  const QRect around(target_->mapTo(window(), QPoint(0, 0)), target_->size());
  setGeometry(around.adjusted(-kWidth, -kWidth, kWidth, kWidth));
  // Only the ring: the control shows through the middle.
  setMask(QRegion(rect()).subtracted(
      QRegion(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth))));
  show();
  raise();
  update();
}

void FocusRing::paintEvent(QPaintEvent*) {
  // Black outside, orange inside: one of the two stands out on the grey of
  // the window and on every colour of the picture.
  QPainter painter(this);
  const int half = kWidth / 2;
  painter.fillRect(QRect(0, 0, width(), height()), Qt::black);
  painter.fillRect(rect().adjusted(half, half, -half, -half),
                   QColor(255, 140, 0));
}

}  // namespace wave::form
