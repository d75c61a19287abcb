// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>

namespace wave {

// The tone at P: a steady sine whose amplitude follows a level from 0 (the
// water still) to 1 (an antinodal line, both waves arrived), the same
// samples for the window's sound output and the page's. A new level is
// reached along a straight ramp, never by a jump: no click. The level may
// be set from one thread while another fills.
class ToneGenerator {
 public:
  static constexpr double kFrequencyHz = 440;
  static constexpr double kPeak = 0.25;          // of full scale, at level 1
  static constexpr double kRampSeconds = 0.015;  // from silence to full

  explicit ToneGenerator(double sampleRate);

  void SetLevel(double level);  // clamped to 0 … 1; NaN is silence
  double level() const { return target_.load(std::memory_order_relaxed); }
  // Mono samples in −kPeak … kPeak.
  void Fill(float* out, std::size_t count);
  // Whether the output is silent and will stay so until the level rises.
  bool Silent() const;
  double sampleRate() const { return sampleRate_; }

 private:
  double sampleRate_;
  double phase_ = 0;  // in turns
  double step_;       // turns a sample
  double gain_ = 0;   // where the ramp stands
  double ramp_;       // gain a sample, at most
  std::atomic<double> target_{0};
};

}  // namespace wave
