// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollBar>

#include "controls/control_table.h"

namespace wave::form {

// The speed bar HScroll1. Its value is the clock's interval in milliseconds,
// from 100 to 1000, and the bar is labelled "speed": further right is
// faster, so the bar's own position runs opposite to the interval. (Qt's
// inverted appearance flips the drawing and the keys but not mouse paging.)
class SpeedBar : public QScrollBar {
  Q_OBJECT

 public:
  static constexpr int kMinimumMs = SpeedRange::kMinimumMs;
  static constexpr int kMaximumMs = SpeedRange::kMaximumMs;
  static constexpr int kStartMs = SpeedRange::kStartMs;
  static constexpr int kLargeStepMs = SpeedRange::kLargeStepMs;
  static constexpr int kSmallStepMs = SpeedRange::kSmallStepMs;

  explicit SpeedBar(QWidget* parent = nullptr);

  int intervalMs() const { return kMinimumMs + kMaximumMs - value(); }
  void setIntervalMs(int ms) { setValue(kMinimumMs + kMaximumMs - ms); }

  // The interval in words, and the bar's description with it, for a
  // screen reader.
  void SetWords(const QString& value, const QString& state) {
    value_ = value;
    state_ = state;
  }
  const QString& valueWords() const { return value_; }
  const QString& stateWords() const { return state_; }

 private:
  QString value_, state_;
};

}  // namespace wave::form
