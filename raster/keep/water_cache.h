// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/pixels/pixels.h"
#include "raster/pixels/water_field.h"

namespace wave {

// What the water keeps from frame to frame while the sources, the
// wavelength and the buffer stay: for the surface, each pixel's θ as a pair
// of bytes per source (its cosine and sine), so that a frame only mixes
// them; for the amplitude, its level where both waves have arrived, which a
// frame colours where they have. Rows are worked out as bands first need
// them, on whichever worker lays the band.
//
// Where B lies on A's row a whole number d of pixels away, B's pair at x is
// A's at x − d, bit for bit: a row keeps A's pairs over the span both read,
// and a frame reads half the bytes.
class WaterCache {
 public:
  // The field of the frame to come, on a buffer of width × height; what is
  // kept serves when its geometry is the same.
  void Prepare(const WaterField& field, int width, int height);
  // Lays rows [top, bottom) of the prepared frame on `out` (of the size
  // prepared). Any thread; each row from one at a time.
  void Lay(const PixelBuffer& out, int top, int bottom);
  void Clear();
  std::size_t bytes() const {
    return phases_.capacity() + levels_.capacity() + kept_.capacity();
  }

 private:
  void LaySurface(std::uint32_t* row, int y, Reach a, Reach b);
  void LayAmplitude(std::uint32_t* row, int y, Reach a, Reach b);

  // Where pixel x's pairs lie in row y's kept bytes.
  const std::int8_t* PairsA(int y, int x) const;
  const std::int8_t* PairsB(int y, int x) const;

  WaterField field_;
  bool shared_ = false;  // B's pairs are A's, shifted
  int shift_ = 0;        // B's place less A's, in pixels
  int first_ = 0;        // the first pixel a row keeps A's pair of
  int span_ = 0;         // how many
  std::size_t rowBytes_ = 0;
  bool prepared_ = false;
  int width_ = 0, height_ = 0;
  std::vector<std::int8_t> phases_;   // surface: the rows' pairs
  std::vector<std::uint8_t> levels_;  // amplitude where both have arrived
  std::vector<std::uint8_t> kept_;    // a row's values worked out
  SurfaceMix mixes_[4];               // by (A arrived) + 2·(B arrived)
};

}  // namespace wave
