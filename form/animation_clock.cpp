// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/animation_clock.h"

namespace wave::form {

AnimationClock::AnimationClock(int intervalMs, QObject* parent)
    : QObject(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &AnimationClock::Fire);
  SetInterval(intervalMs);
}

void AnimationClock::SetInterval(int intervalMs) {
  intervalMs_ = intervalMs;
  // A Qt timer of interval 0 would fire whenever the loop is idle.
  if (intervalMs <= 0) {
    timer_.stop();
  } else {
    timer_.start(intervalMs);
  }
}

void AnimationClock::Fire() { Q_EMIT Ticked(); }

}  // namespace wave::form
