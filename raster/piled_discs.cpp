// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/piled_discs.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <memory>
#include <utility>

namespace wave {
namespace {

// Cells of 8 × 8 pixels, one bit a pixel (row by row) in a 64-bit word.
constexpr int kCell = 8;
constexpr std::uint64_t kAll = ~std::uint64_t{0};
// Discs are passed over by tiles of 8 × 8 cells where nothing is left open;
// stripes of a tile's height go to the workers.
constexpr int kTile = 8;
// A first sweep takes one disc in this many (of 4 to 64, the fastest at
// wavelength 0.1 with dots of 1000 twips).
constexpr std::size_t kSample = 32;
// From this many discs in a run, a sweep of the whole box comes first.
constexpr std::size_t kWholeFrom = 64 * kSample;

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

// The group's bounding cells: columns [c0, c1], rows [r0, r1].
struct Box {
  int c0, c1, r0, r1;
  int width() const { return c1 - c0 + 1; }
  std::size_t At(int row, int col) const {
    return static_cast<std::size_t>(row - r0) * width() + (col - c0);
  }
};

// A run of discs of one colour, [begin, end), and the discs of each stripe
// of its bounding cells, from begin; once covered, the pixels it paints,
// cell by cell over the box.
struct Group {
  std::size_t begin, end;
  Box box;
  std::vector<std::vector<std::uint32_t>> stripes;
  std::uint32_t colour;
  std::vector<std::uint64_t> fresh;
  // Cells wholly inside one disc of a sample, and stripes all such: their
  // discs need not be looked at again.
  std::vector<std::uint8_t> sampled;
  std::vector<std::uint8_t> closed;
};

class Painter {
 public:
  Painter(int width, int height)
      : width_(width),
        height_(height),
        cellsX_((width + kCell - 1) / kCell),
        cellsY_((height + kCell - 1) / kCell),
        painted_(static_cast<std::size_t>(cellsX_) * cellsY_, 0),
        open_(static_cast<long long>(cellsX_) * cellsY_) {
    // Bits past the right or bottom edge count as painted.
    for (int cy = 0; cy < cellsY_; ++cy) {
      for (int cx = 0; cx < cellsX_; ++cx) {
        std::uint64_t outside = 0;
        for (int r = 0; r < kCell; ++r) {
          const std::uint64_t row =
              cy * kCell + r >= height
                  ? 0xFFu
                  : 0xFFu & ~RowBits(0, width - 1, cx * kCell);
          outside |= row << (r * kCell);
        }
        Mark(cy * cellsX_ + cx, outside);
      }
    }
  }

  // The group's bounding cells and stripes; no pixel is touched.
  Group Plan(const PiledDisc* discs, std::size_t begin, std::size_t end) const;

  bool done() const { return open_ == 0; }
  CellMask Painted() const { return {painted_.data(), cellsX_, cellsY_}; }
  // Whether every pixel of row y is painted.
  bool RowPainted(int y) const;

  // Discs of one colour: their union, where nothing later has painted, into
  // group.fresh. Stripes of a tile's height go to the workers; each touches
  // only its own cells.
  void CoverGroup(const PiledDisc* discs, Group& group, WorkerPool& pool);
  // Paints what CoverGroup found.
  void PaintGroup(const PixelBuffer& out, const Group& group,
                  WorkerPool& pool) const;

 private:
  void Mark(int cell, std::uint64_t bits) {
    std::uint64_t& p = painted_[static_cast<std::size_t>(cell)];
    if (p == kAll) return;
    p |= bits;
    if (p == kAll) open_.fetch_sub(1, std::memory_order_relaxed);
  }
  bool Closed(int cellRow, int cellX) const {
    return painted_[static_cast<std::size_t>(cellRow) * cellsX_ + cellX] ==
           kAll;
  }
  void Paint(const PixelBuffer& out, int cell, std::uint64_t bits,
             std::uint32_t colour) const;
  // Cells [a, b] of a row of cells whose every pixel (in the buffer) lies in
  // the disc; a > b when none.
  std::pair<int, int> FullCells(const PiledDisc& d, int cellRow) const;
  void CoverStripe(const PiledDisc* group,
                   const std::vector<std::uint32_t>& which, const Box& box,
                   int stripe, std::vector<std::uint64_t>& fresh);

  int width_, height_;
  int cellsX_, cellsY_;
  std::vector<std::uint64_t> painted_;
  std::atomic<long long> open_;  // cells not wholly painted
  // The group's union, cell by cell, over its bounding cells.
  std::vector<std::uint64_t> cover_;
  std::vector<int> starts_;  // full runs: +1 where one starts, −1 after
};

std::pair<int, int> Painter::FullCells(const PiledDisc& d, int cellRow) const {
  const int y0 = cellRow * kCell;
  const int y1 = std::min(y0 + kCell - 1, height_ - 1);
  // The row farthest from the centre has the shortest chord.
  const int far =
      std::fabs(y0 + 0.5 - d.cy) > std::fabs(y1 + 0.5 - d.cy) ? y0 : y1;
  const Chord c = ChordOf(d, far, width_);
  if (c.x0 > c.x1) return {1, 0};
  const int a = (c.x0 + kCell - 1) / kCell;
  const int b = c.x1 == width_ - 1 ? cellsX_ - 1 : (c.x1 + 1) / kCell - 1;
  return {a, b};
}

bool Painter::RowPainted(int y) const {
  const std::uint64_t row = std::uint64_t{0xFF} << ((y % kCell) * kCell);
  const std::uint64_t* cells =
      painted_.data() + static_cast<std::size_t>(y / kCell) * cellsX_;
  for (int cx = 0; cx < cellsX_; ++cx) {
    if ((cells[cx] & row) != row) return false;
  }
  return true;
}

void Painter::Paint(const PixelBuffer& out, int cell, std::uint64_t bits,
                    std::uint32_t colour) const {
  const int x0 = (cell % cellsX_) * kCell;
  const int y0 = (cell / cellsX_) * kCell;
  for (int r = 0; r < kCell && bits != 0; ++r, bits >>= kCell) {
    const unsigned row = bits & 0xFFu;
    if (row == 0) continue;
    std::uint32_t* p = out.pixels + (y0 + r) * out.stride + x0;
    if (row == 0xFFu) {
      std::fill_n(p, kCell, colour);
      continue;
    }
    for (int x = 0; x < kCell; ++x) {
      if (row & (1u << x)) p[x] = colour;
    }
  }
}

Group Painter::Plan(const PiledDisc* discs, std::size_t begin,
                    std::size_t end) const {
  const int w = width_, h = height_;
  Group g{begin, end, Box{cellsX_, -1, cellsY_, -1}, {}, discs[begin].rgb, {},
          {},    {}};
  Box& box = g.box;
  // A long run reaches most of the buffer: its box is taken as the whole,
  // rather than found disc by disc.
  const bool many = end - begin >= kWholeFrom;
  if (many) box = Box{0, cellsX_ - 1, 0, cellsY_ - 1};
  for (std::size_t i = many ? end : begin; i < end; ++i) {
    const PiledDisc& d = discs[i];
    const Rows rows = RowsOf(d, h);
    if (rows.top > rows.bottom) continue;
    const int x0 = CeilWithin(d.cx - d.radius - 0.5, 0, w);
    const int x1 = FloorWithin(d.cx + d.radius - 0.5, -1, w - 1);
    if (x0 > x1) continue;
    box.c0 = std::min(box.c0, x0 / kCell);
    box.c1 = std::max(box.c1, x1 / kCell);
    box.r0 = std::min(box.r0, rows.top / kCell);
    box.r1 = std::max(box.r1, rows.bottom / kCell);
  }
  if (box.c0 > box.c1 || box.r0 > box.r1) return g;
  const int bh = box.r1 - box.r0 + 1;
  // Dots of 200 pixels by the hundred thousand fill most cells of the box
  // long before the last: one in kSample tells which, and no dot is sorted
  // into a stripe whose cells it has filled.
  const int bw = box.width();
  const auto stripes = static_cast<std::size_t>((bh + kTile - 1) / kTile);
  if (end - begin >= kWholeFrom) {
    std::vector<int> starts(static_cast<std::size_t>(bh) * (bw + 1), 0);
    for (std::size_t i = begin; i < end; i += kSample) {
      const Rows rows = RowsOf(discs[i], h);
      if (rows.top > rows.bottom) continue;
      for (int cr = rows.top / kCell; cr <= rows.bottom / kCell; ++cr) {
        const auto [a, b] = FullCells(discs[i], cr);
        if (a > b) continue;
        int* line =
            starts.data() + static_cast<std::size_t>(cr - box.r0) * (bw + 1);
        ++line[a - box.c0];
        --line[b - box.c0 + 1];
      }
    }
    g.sampled.assign(static_cast<std::size_t>(bh) * bw, 0);
    g.closed.assign(stripes, 1);
    for (int cr = 0; cr < bh; ++cr) {
      const int* line = starts.data() + static_cast<std::size_t>(cr) * (bw + 1);
      int depth = 0;
      for (int cc = 0; cc < bw; ++cc) {
        depth += line[cc];
        g.sampled[static_cast<std::size_t>(cr) * bw + cc] = depth > 0;
        if (depth <= 0) g.closed[static_cast<std::size_t>(cr / kTile)] = 0;
      }
    }
  }
  g.stripes.resize(stripes);
  const bool allClosed =
      !g.closed.empty() &&
      std::all_of(g.closed.begin(), g.closed.end(), [](auto c) { return c; });
  for (std::size_t i = allClosed ? end : begin; i < end; ++i) {
    const Rows rows = RowsOf(discs[i], h);
    if (rows.top > rows.bottom) continue;
    for (int s = (rows.top / kCell - box.r0) / kTile;
         s <= (rows.bottom / kCell - box.r0) / kTile; ++s) {
      if (!g.closed.empty() && g.closed[static_cast<std::size_t>(s)]) continue;
      g.stripes[static_cast<std::size_t>(s)].push_back(
          static_cast<std::uint32_t>(i - begin));
    }
  }
  return g;
}

void Painter::CoverGroup(const PiledDisc* discs, Group& group,
                         WorkerPool& pool) {
  if (group.stripes.empty()) return;
  const Box& box = group.box;
  const int bh = box.r1 - box.r0 + 1;
  starts_.assign(static_cast<std::size_t>(bh) * (box.width() + 1), 0);
  cover_.assign(static_cast<std::size_t>(bh) * box.width(), 0);
  for (std::size_t i = 0; i < group.sampled.size(); ++i) {
    if (group.sampled[i]) cover_[i] = kAll;
  }
  group.fresh.assign(cover_.size(), 0);
  const PiledDisc* first = discs + group.begin;
  // A closed stripe, with no discs, only hands on what the sample filled.
  pool.ForEach(group.stripes.size(), [&](std::size_t s, int) {
    CoverStripe(first, group.stripes[s], box, static_cast<int>(s), group.fresh);
  });
}

void Painter::PaintGroup(const PixelBuffer& out, const Group& group,
                         WorkerPool& pool) const {
  if (group.fresh.empty()) return;
  const Box& box = group.box;
  const std::uint32_t colour = 0xFF000000u | group.colour;
  pool.ForEach(group.stripes.size(), [&](std::size_t s, int) {
    const int sr0 = box.r0 + static_cast<int>(s) * kTile;
    const int sr1 = std::min(box.r1, sr0 + kTile - 1);
    for (int cr = sr0; cr <= sr1; ++cr) {
      for (int cc = box.c0; cc <= box.c1; ++cc) {
        const std::uint64_t fresh = group.fresh[box.At(cr, cc)];
        if (fresh != 0) Paint(out, cr * cellsX_ + cc, fresh, colour);
      }
    }
  });
}

void Painter::CoverStripe(const PiledDisc* group,
                          const std::vector<std::uint32_t>& which,
                          const Box& box, int stripe,
                          std::vector<std::uint64_t>& fresh) {
  // The stripe's dots side by side: the passes below go over them three
  // times, and a dot of a pile's stripe can lie anywhere in the group.
  std::vector<PiledDisc> own;
  own.reserve(which.size());
  for (const std::uint32_t i : which) own.push_back(group[i]);
  const PiledDisc* first = own.data();
  const std::size_t n = own.size();
  const int w = width_, h = height_;
  const int sr0 = box.r0 + stripe * kTile;
  const int sr1 = std::min(box.r1, sr0 + kTile - 1);
  const auto cellRows = [&](const Rows& rows) {
    return std::pair{std::max(rows.top / kCell, sr0),
                     std::min(rows.bottom / kCell, sr1)};
  };

  // Cells wholly inside some disc, from runs along each row of cells.
  const auto mark = [&](const PiledDisc& d, int from, int to) {
    for (int cr = from; cr <= to; ++cr) {
      const auto [a, b] = FullCells(d, cr);
      if (a > b) continue;
      int* line = starts_.data() +
                  static_cast<std::size_t>(cr - box.r0) * (box.width() + 1);
      ++line[a - box.c0];
      --line[b - box.c0 + 1];
    }
  };
  // The runs so far into cover_.
  const auto settle = [&] {
    for (int cr = sr0; cr <= sr1; ++cr) {
      const int* line = starts_.data() + static_cast<std::size_t>(cr - box.r0) *
                                             (box.width() + 1);
      int depth = 0;
      for (int cc = box.c0; cc <= box.c1; ++cc) {
        depth += line[cc - box.c0];
        if (depth > 0) cover_[box.At(cr, cc)] = kAll;
      }
    }
  };
  // The cells a disc can reach in the stripe: rows [from, to], columns
  // [left, right]; from > to when none.
  struct Reach {
    int from, to, left, right;
  };
  const auto reach = [&](const PiledDisc& d) {
    const auto [from, to] = cellRows(RowsOf(d, h));
    return Reach{from, to, CeilWithin(d.cx - d.radius - 0.5, 0, w) / kCell,
                 FloorWithin(d.cx + d.radius - 0.5, -1, w - 1) / kCell};
  };
  // A first sweep takes one disc in kSample. Of the rest, a disc whose
  // cells are all full by then can add none and is passed over: in a pile
  // most are, and each would cost a square root for every row of cells.
  for (std::size_t k = 0; k < n; k += kSample) {
    const Reach r = reach(first[k]);
    mark(first[k], r.from, r.to);
  }
  settle();
  // Counts of the cells with nothing left to find (full, or also painted
  // when `painted`), summed from the stripe's top left: whether a disc's
  // cells are all such is then four lookups.
  const int bw = box.width();
  std::vector<int> sums(static_cast<std::size_t>(kTile + 1) * (bw + 1), 0);
  const auto sum = [&](int row, int col) -> int& {
    return sums[static_cast<std::size_t>(row) * (bw + 1) + col];
  };
  const auto count = [&](bool painted) {
    for (int cr = sr0; cr <= sr1; ++cr) {
      for (int cc = box.c0; cc <= box.c1; ++cc) {
        const int row = cr - sr0 + 1, col = cc - box.c0 + 1;
        const bool done =
            cover_[box.At(cr, cc)] == kAll || (painted && Closed(cr, cc));
        sum(row, col) = sum(row - 1, col) + sum(row, col - 1) -
                        sum(row - 1, col - 1) + (done ? 1 : 0);
      }
    }
  };
  const auto allDone = [&](const Reach& r) {
    const int top = r.from - sr0, bottom = r.to - sr0 + 1;
    const int left = r.left - box.c0, right = r.right - box.c0 + 1;
    return sum(bottom, right) - sum(top, right) - sum(bottom, left) +
               sum(top, left) ==
           (bottom - top) * (right - left);
  };
  count(false);
  for (std::size_t k = 0; k < n; ++k) {
    if (k % kSample == 0) continue;
    const PiledDisc& d = first[k];
    const Reach r = reach(d);
    if (r.from > r.to || r.left > r.right || allDone(r)) continue;
    mark(d, r.from, r.to);
  }
  settle();
  count(true);

  // Cells along the rims, pixel by pixel, where still open: a disc whose
  // cells are all full or painted is passed over whole.
  for (std::size_t k = 0; k < n; ++k) {
    const PiledDisc& d = first[k];
    const Reach r = reach(d);
    if (r.from > r.to || r.left > r.right || allDone(r)) continue;
    const int from = r.from, to = r.to;
    // The row nearest the centre has the widest chord.
    const int centreRow =
        static_cast<int>(std::floor(std::clamp(d.cy, -1e9, 1e9)));
    for (int cr = from; cr <= to; ++cr) {
      const int y0 = cr * kCell;
      const int y1 = std::min(y0 + kCell - 1, h - 1);
      const Chord wide = ChordOf(d, std::clamp(centreRow, y0, y1), w);
      if (wide.x0 > wide.x1) continue;
      const auto [a, b] = FullCells(d, cr);
      // The disc's chords in the cell row, found once for all its open
      // cells: a square root each.
      Chord chords[kCell];
      bool found = false;
      const auto rim = [&](int left, int right) {
        for (int cc = left; cc <= right; ++cc) {
          std::uint64_t& cover = cover_[box.At(cr, cc)];
          if (cover == kAll || Closed(cr, cc)) continue;
          if (!found) {
            for (int y = y0; y <= y1; ++y) chords[y - y0] = ChordOf(d, y, w);
            found = true;
          }
          std::uint64_t bits = 0;
          for (int y = y0; y <= y1; ++y) {
            const Chord c = chords[y - y0];
            if (c.x0 <= c.x1) {
              bits |= RowBits(c.x0, c.x1, cc * kCell) << ((y - y0) * kCell);
            }
          }
          cover |= bits;
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

  for (int cr = sr0; cr <= sr1; ++cr) {
    for (int cc = box.c0; cc <= box.c1; ++cc) {
      const std::uint64_t cover = cover_[box.At(cr, cc)];
      if (cover == 0) continue;
      const int cell = cr * cellsX_ + cc;
      const std::uint64_t bits =
          cover & ~painted_[static_cast<std::size_t>(cell)];
      if (bits == 0) continue;
      fresh[box.At(cr, cc)] = bits;
      Mark(cell, bits);
    }
  }
}

}  // namespace

struct PiledDiscs::Private {
  Private(std::vector<PiledDisc> d, int width, int height)
      : discs(std::move(d)), painter(width, height) {}
  std::vector<PiledDisc> discs;
  Painter painter;
  std::vector<Group> groups;  // from the last back
  bool covered = false;
};

PiledDiscs::PiledDiscs(std::vector<PiledDisc> discs, int width, int height)
    : d_(std::make_unique<Private>(std::move(discs), std::max(width, 0),
                                   std::max(height, 0))),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)) {
  if (width_ == 0 || height_ == 0) return;
  // From the last disc back, a run of one colour at a time. Only the first
  // is readied now: the rest are often wholly under it, and readying a run
  // of hundreds of thousands of dots is not free.
  const std::vector<PiledDisc>& all = d_->discs;
  for (std::size_t end = all.size(); end > 0;) {
    std::size_t begin = end - 1;
    while (begin > 0 && all[begin - 1].rgb == all[end - 1].rgb) --begin;
    d_->groups.push_back(d_->groups.empty()
                             ? d_->painter.Plan(all.data(), begin, end)
                             : Group{begin,
                                     end,
                                     Box{0, -1, 0, -1},
                                     {},
                                     all[begin].rgb,
                                     {},
                                     {},
                                     {}});
    end = begin;
  }
}

PiledDiscs::~PiledDiscs() = default;

void PiledDiscs::Cover(WorkerPool& pool) {
  if (d_->covered) return;
  d_->covered = true;
  for (std::size_t i = 0; i < d_->groups.size(); ++i) {
    if (d_->painter.done()) break;
    Group& g = d_->groups[i];
    if (i > 0) g = d_->painter.Plan(d_->discs.data(), g.begin, g.end);
    d_->painter.CoverGroup(d_->discs.data(), g, pool);
  }
}

std::vector<PiledDisc> PiledDiscs::Release() { return std::move(d_->discs); }

std::vector<std::uint8_t> PiledDiscs::PaintedRows() const {
  assert(d_->covered);
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) rows[y] = d_->painter.RowPainted(y);
  return rows;
}

CellMask PiledDiscs::Painted() const {
  assert(d_->covered);
  return d_->painter.Painted();
}

void PiledDiscs::Paint(const PixelBuffer& out, WorkerPool& pool) {
  assert(out.width == width_ && out.height == height_);
  Cover(pool);
  for (const Group& g : d_->groups) d_->painter.PaintGroup(out, g, pool);
}

void PaintPiledDiscs(const PixelBuffer& out, std::vector<PiledDisc> discs,
                     WorkerPool& pool) {
  PiledDiscs(std::move(discs), out.width, out.height).Paint(out, pool);
}

}  // namespace wave
