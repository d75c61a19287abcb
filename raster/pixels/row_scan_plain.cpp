// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/pixels/row_scan.h"

namespace wave {

int SkipColour(const std::uint32_t* row, int x, int width,
               std::uint32_t colour) {
  while (x < width && row[x] == colour) ++x;
  return x;
}

}  // namespace wave
