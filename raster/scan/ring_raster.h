// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "raster/pixels/blend.h"
#include "raster/pixels/pixels.h"

namespace wave {

// Scan conversion of rings and discs (a disc is a ring with no inner edge):
// which pixels they cover, and by how much.

// The coverage of the ring of points whose distance from (cx, cy) differs
// from `radius` by at most penWidth / 2, all in pixels, antialiased by
// distance, in a buffer of width × height. Visits only the pixels near the
// ring and inside the buffer, so its cost follows the visible length of the
// ring.
void CoverRing(int width, int height, double cx, double cy, double radius,
               double penWidth, CoverageRuns& out);

// The coverage of the disc of points at most `radius` from (cx, cy), in the
// same terms.
void CoverDisc(int width, int height, double cx, double cy, double radius,
               CoverageRuns& out);

// CoverRing and LayCoverage in one, blending each pixel as it is found
// (the same pixels), without keeping anything.
void StrokeRing(const PixelBuffer& buffer, double cx, double cy, double radius,
                double penWidth, std::uint32_t rgb);

// Runs of rows [first, last], sorted and apart.
using RowRuns = std::vector<std::pair<int, int>>;

// StrokeRing in two steps, for a buffer drawn in bands: the rows where the
// ring can be seen, found once, then the ring drawn on those of them in
// [top, bottom), band after band. Of the pixels, only those whose centres
// lie from `nearest` to `farthest` from the centre need be drawn: the rest
// are known to be covered over later.
void RingRows(int width, int height, double cx, double cy, double radius,
              double penWidth, RowRuns& rows);
// Pieces of a row wholly under `hidden` (when given) are passed over, and
// so are the arcs within the rows whose boxes lie in `whole`, its whole
// cells.
void StrokeRingRows(const PixelBuffer& buffer, double cx, double cy,
                    double radius, double penWidth, std::uint32_t rgb,
                    const RowRuns& rows, int top, int bottom,
                    double nearest = -1,
                    double farthest = std::numeric_limits<double>::infinity(),
                    const CellMask* hidden = nullptr,
                    const WholeCells* whole = nullptr);

}  // namespace wave
