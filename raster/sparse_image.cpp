// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/sparse_image.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wave {
namespace {

// The first pixel from x on that is not the background, or width: most of
// the layer is background, passed four pixels at a time.
int SkipBackground(const std::uint32_t* row, int x, int width,
                   std::uint32_t background) {
#if defined(__SSE2__)
  const __m128i bg = _mm_set1_epi32(static_cast<int>(background));
  for (; x + 4 <= width; x += 4) {
    const __m128i four =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(four, bg)) != 0xFFFF) break;
  }
#endif
  while (x < width && row[x] == background) ++x;
  return x;
}

}  // namespace

void SparseImage::Keep(const PixelBuffer& image, std::uint32_t background) {
  Clear();
  background_ = background;
  width_ = image.width;
  height_ = image.height;
  rowRuns_.reserve(static_cast<std::size_t>(height_) + 1);
  for (int y = 0; y < height_; ++y) {
    rowRuns_.push_back(static_cast<std::uint32_t>(runs_.size()));
    const std::uint32_t* row = image.pixels + y * image.stride;
    for (int x = 0; x < width_;) {
      if (row[x] == background) {
        x = SkipBackground(row, x + 1, width_, background);
        continue;
      }
      const int from = x;
      while (x < width_ && row[x] != background) ++x;
      runs_.push_back(
          {from, x - from, static_cast<std::uint32_t>(pixels_.size())});
      pixels_.insert(pixels_.end(), row + from, row + x);
    }
  }
  rowRuns_.push_back(static_cast<std::uint32_t>(runs_.size()));
}

void SparseImage::Clear() {
  rowRuns_.clear();
  runs_.clear();
  pixels_.clear();
  width_ = height_ = 0;
}

void SparseImage::CopyRows(const PixelBuffer& out, int top, int bottom) const {
  for (int y = top; y < bottom; ++y) {
    std::uint32_t* row = out.pixels + y * out.stride;
    std::fill_n(row, width_, background_);
    for (std::uint32_t r = rowRuns_[y]; r < rowRuns_[y + 1]; ++r) {
      const Run& run = runs_[r];
      std::copy_n(pixels_.data() + run.first, run.count, row + run.x);
    }
  }
}

}  // namespace wave
