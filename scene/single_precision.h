// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <limits>

namespace wave {

// Rounds to single precision as an IEEE conversion does, with magnitudes
// past the float range going to infinity rather than being undefined.
inline float ToSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  constexpr double kOverflow = 0x1.ffffffp+127;  // halfway past kMax
  const double magnitude = std::fabs(value);
  if (magnitude >= kOverflow) {
    return std::copysign(std::numeric_limits<float>::infinity(),
                         static_cast<float>(std::copysign(1.0, value)));
  }
  if (magnitude > kMax) {
    return std::copysign(std::numeric_limits<float>::max(),
                         static_cast<float>(std::copysign(1.0, value)));
  }
  return static_cast<float>(value);
}

}  // namespace wave
