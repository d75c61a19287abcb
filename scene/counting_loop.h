// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace wave {

// The loop "for c = start to end step s": start, end and step evaluated
// once, the end included, the counter a running sum. The frame's counters
// are doubles whose steps are single-precision values, so the running sum
// equals start + k * step exactly for every radius that occurs, and a pass
// can be computed from its index instead of walked. A step that would never
// move the counter (zero, or lost beside the start) ends the loop after its
// first pass.
struct CountingLoop {
  double start = 0;
  double step = 0;
  std::int64_t passes = 0;

  CountingLoop(double startValue, double end, double stepValue)
      : start(startValue), step(stepValue) {
    const bool runs = step < 0 ? start >= end : start <= end;
    if (!runs) return;  // also when start, end or step is NaN
    // A step that does not move the counter (zero, or too small beside an
    // infinite or huge start) would run forever: one pass.
    if (start + step == start) {
      passes = 1;
      return;
    }
    constexpr double kMaxIndex = 0x1p62;
    const double span = std::fabs((end - start) / step);
    std::int64_t last = span < kMaxIndex ? static_cast<std::int64_t>(span)
                                         : static_cast<std::int64_t>(kMaxIndex);
    while (last < static_cast<std::int64_t>(kMaxIndex) &&
           Within(last + 1, end)) {
      ++last;
    }
    while (last > 0 && !Within(last, end)) --last;
    passes = last + 1;
  }

  // Indices of the passes whose counter may lie within [lo, hi]: a superset
  // by at most one pass at each end. Every pass unless the step is a finite
  // negative value; none when lo or hi is NaN.
  struct Span {
    std::int64_t first = 0, last = -1;
    bool empty() const { return first > last; }
  };
  Span IndicesWithin(double lo, double hi) const {
    if (passes == 0 || std::isnan(lo) || std::isnan(hi)) return {};
    const double lastIndex = static_cast<double>(passes - 1);
    if (!(step < 0) || !std::isfinite(step)) return {0, passes - 1};
    const double span = -step;
    const double first =
        std::clamp(std::floor((start - hi) / span) - 1, 0.0, lastIndex + 1);
    const double last =
        std::clamp(std::ceil((start - lo) / span) + 1, -1.0, lastIndex);
    return {static_cast<std::int64_t>(first), static_cast<std::int64_t>(last)};
  }

  double At(std::int64_t k) const {
    return k == 0 ? start : start + static_cast<double>(k) * step;
  }

 private:
  bool Within(std::int64_t k, double end) const {
    const double c = At(k);
    return step < 0 ? c >= end : c <= end;
  }
};

}  // namespace wave
