// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/plane_geometry.h"
#include "raster/pixels/pixels.h"

namespace wave {

// Fills a convex polygon (device pixels) with the opaque colour rgb,
// antialiased: four rows of samples to a pixel, each row's span covering
// its end pixels by the part of them it spans. Meant for the interior of
// discs too large for the ring scanner, whose outline clip_geometry has
// already cut to the buffer.
void FillConvex(const PixelBuffer& out, const std::vector<Point>& polygon,
                std::uint32_t rgb);

}  // namespace wave
