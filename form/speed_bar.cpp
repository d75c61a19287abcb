// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/speed_bar.h"

namespace wave::form {

SpeedBar::SpeedBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setRange(kMinimumMs, kMaximumMs);
  setPageStep(kLargeStepMs);
  setSingleStep(kSmallStepMs);
  setIntervalMs(kStartMs);
  // Arrow keys move the thumb the way they point.
  setInvertedControls(false);
}

}  // namespace wave::form
