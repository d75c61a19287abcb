// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>
#include <vector>

#include "canvas/plane_geometry.h"

namespace wave {

// The dashes of a broken one-pixel pen along a path, as segments whose round
// ends (half a pixel each) make the marks: a dash shows 4 pixels, a dot 1,
// with gaps of 2, in the order the pen style gives. The pattern runs on
// from one piece of a path to the next.
class Dashes {
 public:
  // `style` is a pen style of the canvas; solid and invisible have none.
  explicit Dashes(int style);
  // Starts the pattern afresh.
  void Restart() {
    step_ = 0;
    done_ = 0;
  }
  // Appends the marks along a → b to `out`, in the same units.
  void Along(Point a, Point b, std::vector<std::pair<Point, Point>>& out);

 private:
  std::vector<double> steps_;  // mark, gap, mark, gap ... as centre lines
  std::size_t step_ = 0;
  double done_ = 0;  // of steps_[step_]
};

}  // namespace wave
