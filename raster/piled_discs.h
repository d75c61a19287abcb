// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "raster/pixels.h"
#include "raster/worker_pool.h"

namespace wave {

// A disc in device pixels, to be painted in the opaque colour rgb.
struct PiledDisc {
  double cx, cy, radius;
  std::uint32_t rgb;
};

// Paints every pixel whose centre lies in some disc with the colour of the
// last such disc, without antialiasing: the crossing markers, when they come
// by the ten thousand, each many times the size of the gaps between them.
// Discs in a row of one colour are painted as their union, whose order does
// not matter; the work is bounded by the pixels, the discs and the rows of
// cells along the rims, not by the area of the discs.
void PaintPiledDiscs(const PixelBuffer& out,
                     const std::vector<PiledDisc>& discs, WorkerPool& pool);

}  // namespace wave
