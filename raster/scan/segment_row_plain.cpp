// SPDX-License-Identifier: GPL-3.0-or-later
// Where the build knows no lanes: pixel by pixel.
#include "raster/scan/segment_row.h"

namespace wave::segment {

void CoverRow(std::uint8_t* row, int left, int right, double yc,
              const Frame& f) {
  CoverPixels(row, left, right, yc, f);
}

}  // namespace wave::segment
