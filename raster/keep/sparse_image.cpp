// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/keep/sparse_image.h"

#include <algorithm>

#include "raster/pixels/row_scan.h"

namespace wave {

void SparseImage::Keep(const PixelBuffer& image, std::uint32_t background) {
  Begin(image.width, image.height, background);
  KeepRows(image, 0, image.height);
}

void SparseImage::Begin(int width, int height, std::uint32_t background) {
  background_ = background;
  width_ = width;
  height_ = height;
  // Rows kept before keep their storage.
  if (rows_.size() < static_cast<std::size_t>(height)) rows_.resize(height);
  for (int y = 0; y < height; ++y) {
    Row& row = rows_[static_cast<std::size_t>(y)];
    row.kept = false;
    row.runs.clear();
  }
}

bool SparseImage::complete() const {
  for (int y = 0; y < height_; ++y) {
    if (!rows_[static_cast<std::size_t>(y)].kept) return false;
  }
  return true;
}

void SparseImage::KeepRows(const PixelBuffer& image, int top, int bottom) {
  for (int y = top; y < bottom; ++y) {
    Row& kept = rows_[static_cast<std::size_t>(y)];
    kept.kept = true;
    kept.runs.clear();
    kept.pixels.clear();
    const std::uint32_t* row = image.pixels + y * image.stride;
    for (int x = 0; x < width_;) {
      if (row[x] == background_) {
        x = SkipColour(row, x + 1, width_, background_);
        continue;
      }
      const int from = x;
      while (x < width_ && row[x] != background_) ++x;
      kept.runs.push_back(
          {from, x - from, static_cast<std::uint32_t>(kept.pixels.size())});
      kept.pixels.insert(kept.pixels.end(), row + from, row + x);
    }
  }
}

bool SparseImage::any() const {
  for (int y = 0; y < height_; ++y) {
    if (rows_[static_cast<std::size_t>(y)].kept) return true;
  }
  return false;
}

void SparseImage::Clear() { width_ = height_ = 0; }

void SparseImage::CopyRows(const PixelBuffer& out, int top, int bottom) const {
  for (int y = top; y < bottom; ++y) {
    std::uint32_t* row = out.pixels + y * out.stride;
    std::fill_n(row, width_, background_);
    const Row& kept = rows_[static_cast<std::size_t>(y)];
    for (const Run& run : kept.runs) {
      std::copy_n(kept.pixels.data() + run.first, run.count, row + run.x);
    }
  }
}

}  // namespace wave
