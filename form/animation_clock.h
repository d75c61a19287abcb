// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

namespace wave::form {

// The animation's heartbeat. Its whole state is the interval in
// milliseconds: 0 (or less) means stopped and no ticks arrive. Setting the
// interval restarts the wait from that moment.
class AnimationClock : public QObject {
  Q_OBJECT

 public:
  explicit AnimationClock(int intervalMs, QObject* parent = nullptr);

  int Interval() const { return intervalMs_; }
  void SetInterval(int intervalMs);
  // Milliseconds until the next tick, -1 when stopped.
  int RemainingMs() const { return timer_.remainingTime(); }

  // Delivers a tick now, as the timer does when its interval has elapsed.
  void Fire();

 Q_SIGNALS:
  void Ticked();

 private:
  QTimer timer_;
  int intervalMs_ = 0;
};

}  // namespace wave::form
