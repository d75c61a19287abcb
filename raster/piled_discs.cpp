// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/piled_discs.h"

#include <algorithm>
#include <cmath>

namespace wave {
namespace {

// Cells of 8 × 8 pixels, one bit a pixel (row by row) in a 64-bit word.
constexpr int kCell = 8;
constexpr std::uint64_t kAll = ~std::uint64_t{0};
// Discs are passed over by tiles of 8 × 8 cells where nothing is left open.
constexpr int kTile = 8;

// The pixels of row y whose centres lie in the disc: [x0, x1], empty when
// x0 > x1.
struct Chord {
  int x0, x1;
};
Chord ChordOf(const PiledDisc& d, int y, int width) {
  const double dy = y + 0.5 - d.cy;
  const double sq = d.radius * d.radius - dy * dy;
  if (!(sq >= 0)) return {1, 0};
  const double half = std::sqrt(sq);
  return {CeilWithin(d.cx - half - 0.5, 0, width),
          FloorWithin(d.cx + half - 0.5, -1, width - 1)};
}

// The bits of columns [x0, x1] in a row of the cell from column `left`.
std::uint64_t RowBits(int x0, int x1, int left) {
  const int a = std::max(x0 - left, 0);
  const int b = std::min(x1 - left, kCell - 1);
  if (a > b) return 0;
  return (0xFFu >> (kCell - 1 - b)) & (0xFFu << a) & 0xFFu;
}

// The rows of the buffer a disc reaches: [top, bottom].
struct Rows {
  int top, bottom;
};
Rows RowsOf(const PiledDisc& d, int height) {
  return {CeilWithin(d.cy - d.radius - 0.5, 0, height),
          FloorWithin(d.cy + d.radius - 0.5, -1, height - 1)};
}

class Painter {
 public:
  explicit Painter(const PixelBuffer& out)
      : out_(out),
        cellsX_((out.width + kCell - 1) / kCell),
        cellsY_((out.height + kCell - 1) / kCell),
        painted_(static_cast<std::size_t>(cellsX_) * cellsY_, 0),
        open_(static_cast<long long>(cellsX_) * cellsY_) {
    // Bits past the right or bottom edge count as painted.
    for (int cy = 0; cy < cellsY_; ++cy) {
      for (int cx = 0; cx < cellsX_; ++cx) {
        std::uint64_t outside = 0;
        for (int r = 0; r < kCell; ++r) {
          const std::uint64_t row =
              cy * kCell + r >= out.height
                  ? 0xFFu
                  : 0xFFu & ~RowBits(0, out.width - 1, cx * kCell);
          outside |= row << (r * kCell);
        }
        Mark(cy * cellsX_ + cx, outside);
      }
    }
  }

  bool done() const { return open_ == 0; }

  // Discs of one colour: their union, where nothing later has painted.
  void PaintGroup(const PiledDisc* first, const PiledDisc* last);

 private:
  void Mark(int cell, std::uint64_t bits) {
    std::uint64_t& p = painted_[static_cast<std::size_t>(cell)];
    if (p == kAll) return;
    p |= bits;
    if (p == kAll) --open_;
  }
  void Paint(int cell, std::uint64_t bits, std::uint32_t colour);
  // Cells [a, b] of a row of cells whose every pixel (in the buffer) lies in
  // the disc; a > b when none.
  std::pair<int, int> FullCells(const PiledDisc& d, int cellRow) const;
  std::uint64_t CellBits(const PiledDisc& d, int cellRow, int cellX) const;

  PixelBuffer out_;
  int cellsX_, cellsY_;
  std::vector<std::uint64_t> painted_;
  long long open_;  // cells not wholly painted
  // The group's union, cell by cell, over its bounding cells.
  std::vector<std::uint64_t> cover_;
  std::vector<int> starts_;  // full runs: +1 where one starts, −1 after
  std::vector<int> tileOpen_;
};

std::pair<int, int> Painter::FullCells(const PiledDisc& d, int cellRow) const {
  const int y0 = cellRow * kCell;
  const int y1 = std::min(y0 + kCell - 1, out_.height - 1);
  // The row farthest from the centre has the shortest chord.
  const int far =
      std::fabs(y0 + 0.5 - d.cy) > std::fabs(y1 + 0.5 - d.cy) ? y0 : y1;
  const Chord c = ChordOf(d, far, out_.width);
  if (c.x0 > c.x1) return {1, 0};
  const int a = (c.x0 + kCell - 1) / kCell;
  const int b = c.x1 == out_.width - 1 ? cellsX_ - 1 : (c.x1 + 1) / kCell - 1;
  return {a, b};
}

std::uint64_t Painter::CellBits(const PiledDisc& d, int cellRow,
                                int cellX) const {
  std::uint64_t bits = 0;
  const int y0 = cellRow * kCell;
  const int y1 = std::min(y0 + kCell - 1, out_.height - 1);
  for (int y = y0; y <= y1; ++y) {
    const Chord c = ChordOf(d, y, out_.width);
    if (c.x0 <= c.x1)
      bits |= RowBits(c.x0, c.x1, cellX * kCell) << ((y - y0) * kCell);
  }
  return bits;
}

void Painter::Paint(int cell, std::uint64_t bits, std::uint32_t colour) {
  const int x0 = (cell % cellsX_) * kCell;
  const int y0 = (cell / cellsX_) * kCell;
  for (int r = 0; r < kCell && bits != 0; ++r, bits >>= kCell) {
    const unsigned row = bits & 0xFFu;
    if (row == 0) continue;
    std::uint32_t* p = out_.pixels + (y0 + r) * out_.stride + x0;
    if (row == 0xFFu) {
      std::fill_n(p, kCell, colour);
      continue;
    }
    for (int x = 0; x < kCell; ++x) {
      if (row & (1u << x)) p[x] = colour;
    }
  }
}

void Painter::PaintGroup(const PiledDisc* first, const PiledDisc* last) {
  const int w = out_.width, h = out_.height;
  // The cells the group can reach.
  int c0 = cellsX_, c1 = -1, r0 = cellsY_, r1 = -1;
  for (const PiledDisc* d = first; d != last; ++d) {
    const Rows rows = RowsOf(*d, h);
    if (rows.top > rows.bottom) continue;
    const int x0 = CeilWithin(d->cx - d->radius - 0.5, 0, w);
    const int x1 = FloorWithin(d->cx + d->radius - 0.5, -1, w - 1);
    if (x0 > x1) continue;
    c0 = std::min(c0, x0 / kCell);
    c1 = std::max(c1, x1 / kCell);
    r0 = std::min(r0, rows.top / kCell);
    r1 = std::max(r1, rows.bottom / kCell);
  }
  if (c0 > c1 || r0 > r1) return;
  const int bw = c1 - c0 + 1, bh = r1 - r0 + 1;
  const auto at = [&](int row, int col) {
    return static_cast<std::size_t>(row - r0) * bw + (col - c0);
  };

  // Cells wholly inside some disc, from runs along each row of cells.
  starts_.assign(static_cast<std::size_t>(bh) * (bw + 1), 0);
  for (const PiledDisc* d = first; d != last; ++d) {
    const Rows rows = RowsOf(*d, h);
    for (int cr = rows.top / kCell; cr <= rows.bottom / kCell; ++cr) {
      const auto [a, b] = FullCells(*d, cr);
      if (a > b) continue;
      int* line = starts_.data() + static_cast<std::size_t>(cr - r0) * (bw + 1);
      ++line[a - c0];
      --line[b - c0 + 1];
    }
  }
  cover_.assign(static_cast<std::size_t>(bw) * bh, 0);
  const int tilesX = (bw + kTile - 1) / kTile;
  tileOpen_.assign(
      static_cast<std::size_t>(tilesX) * ((bh + kTile - 1) / kTile), 0);
  for (int cr = r0; cr <= r1; ++cr) {
    const int* line =
        starts_.data() + static_cast<std::size_t>(cr - r0) * (bw + 1);
    int depth = 0;
    for (int cc = c0; cc <= c1; ++cc) {
      depth += line[cc - c0];
      if (depth > 0) cover_[at(cr, cc)] = kAll;
      if (depth == 0 &&
          painted_[static_cast<std::size_t>(cr) * cellsX_ + cc] != kAll) {
        ++tileOpen_[static_cast<std::size_t>((cr - r0) / kTile) * tilesX +
                    (cc - c0) / kTile];
      }
    }
  }

  // Cells along the rims, pixel by pixel, where still open: a disc whose
  // tiles are all closed is passed over whole.
  for (const PiledDisc* d = first; d != last; ++d) {
    const Rows rows = RowsOf(*d, h);
    if (rows.top > rows.bottom) continue;
    const int x0 = CeilWithin(d->cx - d->radius - 0.5, 0, w);
    const int x1 = FloorWithin(d->cx + d->radius - 0.5, -1, w - 1);
    if (x0 > x1) continue;
    bool open = false;
    for (int ty = (rows.top / kCell - r0) / kTile;
         ty <= (rows.bottom / kCell - r0) / kTile && !open; ++ty) {
      for (int tx = (x0 / kCell - c0) / kTile;
           tx <= (x1 / kCell - c0) / kTile && !open; ++tx) {
        open = tileOpen_[static_cast<std::size_t>(ty) * tilesX + tx] > 0;
      }
    }
    if (!open) continue;
    for (int cr = rows.top / kCell; cr <= rows.bottom / kCell; ++cr) {
      // The widest chord of the row of cells: the row nearest the centre.
      const int y0 = cr * kCell;
      const int y1 = std::min(y0 + kCell - 1, h - 1);
      const int nearest = std::clamp(
          static_cast<int>(std::floor(std::clamp(d->cy, -1e9, 1e9))), y0, y1);
      const Chord wide = ChordOf(*d, nearest, w);
      if (wide.x0 > wide.x1) continue;
      const auto [a, b] = FullCells(*d, cr);
      const auto rim = [&](int from, int to) {
        for (int cc = from; cc <= to; ++cc) {
          std::uint64_t& cover = cover_[at(cr, cc)];
          if (cover == kAll ||
              painted_[static_cast<std::size_t>(cr) * cellsX_ + cc] == kAll) {
            continue;
          }
          cover |= CellBits(*d, cr, cc);
        }
      };
      const int ta = wide.x0 / kCell, tb = wide.x1 / kCell;
      if (a > b) {
        rim(ta, tb);
      } else {
        rim(ta, std::min(tb, a - 1));
        rim(std::max(ta, b + 1), tb);
      }
    }
  }

  const std::uint32_t colour = 0xFF000000u | first->rgb;
  for (int cr = r0; cr <= r1; ++cr) {
    for (int cc = c0; cc <= c1; ++cc) {
      const std::uint64_t cover = cover_[at(cr, cc)];
      if (cover == 0) continue;
      const int cell = cr * cellsX_ + cc;
      const std::uint64_t fresh =
          cover & ~painted_[static_cast<std::size_t>(cell)];
      if (fresh == 0) continue;
      Paint(cell, fresh, colour);
      Mark(cell, fresh);
    }
  }
}

}  // namespace

void PaintPiledDiscs(const PixelBuffer& out,
                     const std::vector<PiledDisc>& discs) {
  if (out.width <= 0 || out.height <= 0) return;
  Painter painter(out);
  // From the last disc back, a run of one colour at a time.
  std::size_t end = discs.size();
  while (end > 0 && !painter.done()) {
    std::size_t begin = end - 1;
    while (begin > 0 && discs[begin - 1].rgb == discs[end - 1].rgb) --begin;
    painter.PaintGroup(discs.data() + begin, discs.data() + end);
    end = begin;
  }
}

}  // namespace wave
