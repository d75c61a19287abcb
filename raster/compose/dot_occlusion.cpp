// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/compose/dot_occlusion.h"

#include <algorithm>
#include <cassert>

namespace wave {
namespace {

// Bits lo..hi of a word, 0 <= lo <= hi < 64.
std::uint64_t Bits(int lo, int hi) {
  return (~std::uint64_t{0} >> (63 - hi)) & (~std::uint64_t{0} << lo);
}

// What of a run of at most 63 bits, moved to column x, falls into the next
// word: none when x is a word's first.
std::uint64_t Spill(std::uint64_t run, int x) {
  return (run >> 1) >> (63 - (x & 63));
}

}  // namespace

DotShape ShapeOf(const CoverageRuns& coverage) {
  DotShape shape;
  if (coverage.spans.empty()) return shape;
  shape.top = coverage.spans.front().y;
  const int bottom = coverage.spans.back().y;
  shape.rows.assign(static_cast<std::size_t>(bottom - shape.top + 1),
                    DotRow{0, -1, 0, -1});
  for (const CoverageRuns::Span& span : coverage.spans) {
    assert(span.y >= shape.top && span.y <= bottom);
    DotRow& row = shape.rows[static_cast<std::size_t>(span.y - shape.top)];
    const int last = span.x + span.count - 1;
    if (row.touchedFrom > row.touchedTo) {
      row.touchedFrom = span.x;
      row.touchedTo = last;
    } else {
      row.touchedFrom = std::min(row.touchedFrom, span.x);
      row.touchedTo = std::max(row.touchedTo, last);
    }
    // The longest run of full levels: a disc's is its only one.
    const std::uint8_t* levels = coverage.levels.data() + span.first;
    for (int i = 0; i < span.count;) {
      if (levels[i] != 255) {
        ++i;
        continue;
      }
      int j = i;
      while (j + 1 < span.count && levels[j + 1] == 255) ++j;
      if (j - i > row.wholeTo - row.wholeFrom) {
        row.wholeFrom = span.x + i;
        row.wholeTo = span.x + j;
      }
      i = j + 1;
    }
  }
  const auto mask = [](int from, int to) {
    return from > to ? 0 : (std::uint64_t{1} << (to - from + 1)) - 1;
  };
  bool narrow = true;
  for (const DotRow& row : shape.rows) {
    if (row.touchedFrom > row.touchedTo) continue;
    shape.left = shape.right < shape.left
                     ? row.touchedFrom
                     : std::min(shape.left, row.touchedFrom);
    shape.right = std::max(shape.right, row.touchedTo);
    narrow = narrow && row.touchedTo - row.touchedFrom < 63;
  }
  // Empty runs start at the left, so that no shift reaches outside.
  for (DotRow& row : shape.rows) {
    if (row.touchedFrom > row.touchedTo) {
      row.touchedFrom = shape.left;
      row.touchedTo = shape.left - 1;
    }
    if (row.wholeFrom > row.wholeTo) {
      row.wholeFrom = shape.left;
      row.wholeTo = shape.left - 1;
    }
  }
  if (narrow) {
    for (const DotRow& row : shape.rows) {
      shape.touched.push_back(mask(row.touchedFrom, row.touchedTo));
      shape.whole.push_back(mask(row.wholeFrom, row.wholeTo));
    }
  }
  return shape;
}

bool DotOcclusion::AllSet(int y, int x0, int x1) const {
  const std::uint64_t* row = bits_.data() + y * words_;
  const int w0 = x0 >> 6, w1 = x1 >> 6;
  if (w0 == w1) {
    const std::uint64_t need = Bits(x0 & 63, x1 & 63);
    return (row[w0] & need) == need;
  }
  const std::uint64_t first = Bits(x0 & 63, 63);
  const std::uint64_t last = Bits(0, x1 & 63);
  if ((row[w0] & first) != first || (row[w1] & last) != last) return false;
  for (int w = w0 + 1; w < w1; ++w) {
    if (row[w] != ~std::uint64_t{0}) return false;
  }
  return true;
}

void DotOcclusion::Set(int y, int x0, int x1) {
  std::uint64_t* row = bits_.data() + y * words_;
  const int w0 = x0 >> 6, w1 = x1 >> 6;
  if (w0 == w1) {
    row[w0] |= Bits(x0 & 63, x1 & 63);
    return;
  }
  row[w0] |= Bits(x0 & 63, 63);
  for (int w = w0 + 1; w < w1; ++w) row[w] = ~std::uint64_t{0};
  row[w1] |= Bits(0, x1 & 63);
}

bool DotOcclusion::ShowsAt(const PlacedDot& dot, int top, int first,
                           int end) const {
  const DotShape& shape = *dot.shape;
  for (int r = first; r < end; ++r) {
    const DotRow& row = shape.rows[static_cast<std::size_t>(r)];
    const int x0 = std::max(row.touchedFrom + dot.dx, 0);
    const int x1 = std::min(row.touchedTo + dot.dx, width_ - 1);
    if (x0 <= x1 && !AllSet(top + r, x0, x1)) return true;
  }
  return false;
}

void DotOcclusion::Find(int width, int height,
                        const std::vector<PlacedDot>& dots,
                        std::vector<std::uint8_t>& shows) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  // A spare word closes each row: a run of up to 63 pixels reaches into at
  // most the next word, which is then read and written unchecked.
  words_ = (width_ + 63) / 64 + 1;
  bits_.assign(static_cast<std::size_t>(words_) * height_, 0);
  shows.assign(dots.size(), 0);
  // Last to first, so that what covers a dot is known when it comes.
  for (std::size_t i = dots.size(); i-- > 0;) {
    const PlacedDot& dot = dots[i];
    const DotShape& shape = *dot.shape;
    const int top = shape.top + dot.dy;
    const int first = std::max(0, -top);
    const int end =
        std::min(static_cast<int>(shape.rows.size()), height_ - top);
    const bool inside = !shape.touched.empty() && shape.left + dot.dx >= 0 &&
                        shape.right + dot.dx < width_;
    if (!inside) {
      // Covered, it adds nothing: what it covers whole it also touches.
      if (!ShowsAt(dot, top, first, end)) continue;
      shows[i] = 1;
      for (int r = first; r < end; ++r) {
        const DotRow& row = shape.rows[static_cast<std::size_t>(r)];
        const int x0 = std::max(row.wholeFrom + dot.dx, 0);
        const int x1 = std::min(row.wholeTo + dot.dx, width_ - 1);
        if (x0 <= x1) Set(top + r, x0, x1);
      }
      continue;
    }
    // Wholly within the columns, each row a shift of two words, with no
    // branch to mispredict: two in five of these dots show, at random.
    std::uint64_t missing = 0;
    for (int r = first; r < end; ++r) {
      const DotRow& row = shape.rows[static_cast<std::size_t>(r)];
      const int x = row.touchedFrom + dot.dx;
      const std::uint64_t need = shape.touched[static_cast<std::size_t>(r)];
      const std::uint64_t* at = bits_.data() + (top + r) * words_ + (x >> 6);
      missing |= (need << (x & 63) & ~at[0]) | (Spill(need, x) & ~at[1]);
    }
    if (missing == 0) continue;
    shows[i] = 1;
    for (int r = first; r < end; ++r) {
      const DotRow& row = shape.rows[static_cast<std::size_t>(r)];
      const int x = row.wholeFrom + dot.dx;
      const std::uint64_t set = shape.whole[static_cast<std::size_t>(r)];
      std::uint64_t* at = bits_.data() + (top + r) * words_ + (x >> 6);
      at[0] |= set << (x & 63);
      at[1] |= Spill(set, x);
    }
  }
}

CellMask DotOcclusion::Covered() {
  const int cellsX = (width_ + 7) / 8;
  const int cellsY = (height_ + 7) / 8;
  cells_.assign(static_cast<std::size_t>(cellsX) * cellsY, 0);
  for (int y = 0; y < height_; ++y) {
    const std::uint64_t* row = bits_.data() + y * words_;
    std::uint64_t* cells =
        cells_.data() + static_cast<std::ptrdiff_t>(y >> 3) * cellsX;
    const int shift = (y & 7) * 8;
    for (int c = 0; c < cellsX; ++c) {
      const std::uint64_t byte = (row[c >> 3] >> ((c & 7) * 8)) & 0xFF;
      cells[c] |= byte << shift;
    }
  }
  return {cells_.data(), cellsX, cellsY};
}

std::vector<std::uint8_t> DotOcclusion::CoveredRows() const {
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(height_), 0);
  if (width_ == 0) return rows;
  for (int y = 0; y < height_; ++y) {
    rows[static_cast<std::size_t>(y)] = AllSet(y, 0, width_ - 1);
  }
  return rows;
}

}  // namespace wave
