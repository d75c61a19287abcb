// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "raster/pixels/blend.h"
#include "raster/pixels/pixels.h"

namespace wave {

// A dot's coverage row by row, from its first row: the pixels it touches
// and, of those, the run it covers whole (level 255), each as [from, to] in
// the coverage's own columns; none whole when wholeFrom > wholeTo.
struct DotRow {
  int touchedFrom, touchedTo, wholeFrom, wholeTo;
};
struct DotShape {
  int top = 0;
  std::vector<DotRow> rows;
  int left = 0, right = -1;  // the columns it touches
  // Row by row, when no row touches more than 63 pixels: bits from
  // touchedFrom and from wholeFrom, as many as each run's pixels.
  std::vector<std::uint64_t> touched, whole;
};
DotShape ShapeOf(const CoverageRuns& coverage);

// A dot's shape moved by (dx, dy), as BandCompositor::Lay moves coverage.
struct PlacedDot {
  const DotShape* shape;
  int dx, dy;
};

// Which of many opaque dots laid one after another still show once all are
// laid. A pixel a dot covers whole shows that dot, or what comes later,
// whatever lay under it: a dot whose every pixel later dots cover whole can
// be left out, and so can anything drawn before under those pixels. At
// wavelength 0.1 the markers lie nine deep, and under them the rings cost
// half of the frame. The work follows the dots' rows, not their area.
class DotOcclusion {
 public:
  // Sets shows[i] to whether dots[i] touches a pixel of the width × height
  // buffer that no later dot covers whole.
  void Find(int width, int height, const std::vector<PlacedDot>& dots,
            std::vector<std::uint8_t>& shows);
  // After Find: the pixels some dot covers whole, valid until this is
  // next called. Touches nothing Find reads.
  CellMask Covered();
  // After Find: for each row, whether some dot covers each of its pixels
  // whole.
  std::vector<std::uint8_t> CoveredRows() const;

 private:
  bool AllSet(int y, int x0, int x1) const;
  void Set(int y, int x0, int x1);
  bool ShowsAt(const PlacedDot& dot, int top, int first, int end) const;

  int width_ = 0, height_ = 0;
  std::ptrdiff_t words_ = 0;         // to a row
  std::vector<std::uint64_t> bits_;  // row by row, pixel x at bit x % 64
  std::vector<std::uint64_t> cells_;
};

}  // namespace wave
