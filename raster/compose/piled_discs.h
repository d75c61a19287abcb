// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "raster/compose/worker_pool.h"
#include "raster/pixels/pixels.h"

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
class PiledDiscs {
 public:
  // Sorts the discs into runs of one colour, and each run's into stripes of
  // rows, for a buffer of width × height. No pixel is touched, so this may
  // go on while the buffer is still being drawn on.
  PiledDiscs(std::vector<PiledDisc> discs, int width, int height);
  ~PiledDiscs();
  PiledDiscs(const PiledDiscs&) = delete;
  PiledDiscs& operator=(const PiledDiscs&) = delete;

  // Finds which disc shows at each pixel, stripes on the workers; no pixel
  // is touched.
  void Cover(WorkerPool& pool);
  // After Cover: for each row, whether every pixel of it gets a disc. What
  // lies under such a row need not be drawn.
  std::vector<std::uint8_t> PaintedRows() const;
  // After Cover: the pixels they paint, valid while this lives.
  CellMask Painted() const;
  // Paints them on `out`, of the size given (Cover first if not yet).
  void Paint(const PixelBuffer& out, WorkerPool& pool);
  // Gives back the discs' storage for the next pile; nothing else may be
  // called after.
  std::vector<PiledDisc> Release();

 private:
  struct Private;
  std::unique_ptr<Private> d_;
  int width_, height_;
};

// The same at once.
void PaintPiledDiscs(const PixelBuffer& out, std::vector<PiledDisc> discs,
                     WorkerPool& pool);

}  // namespace wave
