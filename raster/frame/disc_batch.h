// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "canvas/plane_geometry.h"
#include "raster/frame/pen.h"

namespace wave {

// One-coloured filled circles, the crossing markers, wait in a batch:
// thousands of them may pile on each other, and how best to lay them
// depends on how deep they pile.
class DiscBatch {
 public:
  struct Disc {
    Point centre;  // logical pixels
    double radius;
    Color color;
    Pen pen;
  };
  enum class Way {
    kEach,     // each from kept coverage
    kShowing,  // only those later ones do not cover whole
    kPiled,    // as piled discs: each pixel shows the last, rims unsmoothed
  };

  bool empty() const { return discs_.empty(); }
  void Add(const Disc& disc);
  void Clear();
  // The discs so far, handed over and the batch emptied, with the way to
  // lay them on an image of `imageArea` square logical pixels. The storage
  // goes back and forth between batch and caller, so that a frame of
  // 280,000 dots does not grow it afresh.
  const std::vector<Disc>& Take(double imageArea, Way& way);

 private:
  // Large dots whose areas add up to more than this many images, and dots
  // of any size piled deeper still, are painted as piled discs.
  static constexpr double kPiledOverdraw = 8;
  static constexpr double kPiledRadius = 12;  // logical pixels, with pen
  static constexpr double kDeepOverdraw = 16;
  // From this many dots covering more than the image, those covered whole
  // by later ones are left out, and so is what lies under them.
  static constexpr std::size_t kOccludedDots = 256;

  std::vector<Disc> discs_, taken_;
  double area_ = 0;  // of the discs with their pens, over π
};

}  // namespace wave
