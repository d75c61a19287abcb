// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/tone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wave {

ToneGenerator::ToneGenerator(double sampleRate)
    : sampleRate_(sampleRate > 0 ? sampleRate : 48000),
      step_(kFrequencyHz / sampleRate_),
      ramp_(1 / (kRampSeconds * sampleRate_)) {}

void ToneGenerator::SetLevel(double level) {
  target_.store(level > 0 ? std::min(level, 1.0) : 0,
                std::memory_order_relaxed);
}

void ToneGenerator::Fill(float* out, std::size_t count) {
  const double target = target_.load(std::memory_order_relaxed);
  for (std::size_t k = 0; k < count; ++k) {
    gain_ = gain_ < target ? std::min(target, gain_ + ramp_)
                           : std::max(target, gain_ - ramp_);
    out[k] = static_cast<float>(kPeak * gain_ *
                                std::sin(2 * std::numbers::pi * phase_));
    phase_ += step_;
    if (phase_ >= 1) phase_ -= 1;
  }
}

bool ToneGenerator::Silent() const {
  return gain_ == 0 && target_.load(std::memory_order_relaxed) == 0;
}

}  // namespace wave
