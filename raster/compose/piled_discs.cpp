// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/compose/piled_discs.h"

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

class PileCover {
 public:
  PileCover(int width, int height)
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
  class Stripe;
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

std::pair<int, int> PileCover::FullCells(const PiledDisc& d,
                                         int cellRow) const {
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

bool PileCover::RowPainted(int y) const {
  const std::uint64_t row = std::uint64_t{0xFF} << ((y % kCell) * kCell);
  const std::uint64_t* cells =
      painted_.data() + static_cast<std::size_t>(y / kCell) * cellsX_;
  for (int cx = 0; cx < cellsX_; ++cx) {
    if ((cells[cx] & row) != row) return false;
  }
  return true;
}

void PileCover::Paint(const PixelBuffer& out, int cell, std::uint64_t bits,
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

Group PileCover::Plan(const PiledDisc* discs, std::size_t begin,
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

void PileCover::CoverGroup(const PiledDisc* discs, Group& group,
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

void PileCover::PaintGroup(const PixelBuffer& out, const Group& group,
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

// One stripe of a group's cells, covered by one worker: its discs' full
// cells first, from runs along each row of cells, then their rims pixel by
// pixel where cells are still open.
class PileCover::Stripe {
 public:
  Stripe(PileCover& painter, const PiledDisc* group,
         const std::vector<std::uint32_t>& which, const Box& box, int stripe)
      : p_(painter),
        box_(box),
        sr0_(box.r0 + stripe * kTile),
        sr1_(std::min(box.r1, sr0_ + kTile - 1)),
        sums_(static_cast<std::size_t>(kTile + 1) * (box.width() + 1), 0) {
    // Side by side: the passes go over them three times, and a dot of a
    // pile's stripe can lie anywhere in the group.
    own_.reserve(which.size());
    for (const std::uint32_t i : which) own_.push_back(group[i]);
  }

  // A first sweep takes one disc in kSample. Of the rest, a disc whose
  // cells are all full by then can add none and is passed over: in a pile
  // most are, and each would cost a square root for every row of cells.
  void CoverFull() {
    for (std::size_t k = 0; k < own_.size(); k += kSample) {
      const Reach r = ReachOf(own_[k]);
      MarkFull(own_[k], r.from, r.to);
    }
    Settle();
    CountDone(false);
    for (std::size_t k = 0; k < own_.size(); ++k) {
      if (k % kSample == 0) continue;
      const Reach r = ReachOf(own_[k]);
      if (Empty(r) || AllDone(r)) continue;
      MarkFull(own_[k], r.from, r.to);
    }
    Settle();
    CountDone(true);
  }

  // Cells along the rims, where still open: a disc whose cells are all full
  // or painted is passed over whole.
  void CoverRims() {
    for (const PiledDisc& d : own_) {
      const Reach r = ReachOf(d);
      if (Empty(r) || AllDone(r)) continue;
      // The row nearest the centre has the widest chord.
      const int centreRow =
          static_cast<int>(std::floor(std::clamp(d.cy, -1e9, 1e9)));
      for (int cr = r.from; cr <= r.to; ++cr) CoverRimRow(d, cr, centreRow);
    }
  }

  // The cells this stripe adds to what is painted, into `fresh`.
  void Publish(std::vector<std::uint64_t>& fresh) {
    for (int cr = sr0_; cr <= sr1_; ++cr) {
      for (int cc = box_.c0; cc <= box_.c1; ++cc) {
        const std::uint64_t cover = p_.cover_[box_.At(cr, cc)];
        if (cover == 0) continue;
        const int cell = cr * p_.cellsX_ + cc;
        const std::uint64_t bits =
            cover & ~p_.painted_[static_cast<std::size_t>(cell)];
        if (bits == 0) continue;
        fresh[box_.At(cr, cc)] = bits;
        p_.Mark(cell, bits);
      }
    }
  }

 private:
  // The cells a disc can reach in the stripe: rows [from, to], columns
  // [left, right].
  struct Reach {
    int from, to, left, right;
  };
  static bool Empty(const Reach& r) {
    return r.from > r.to || r.left > r.right;
  }
  Reach ReachOf(const PiledDisc& d) const {
    const Rows rows = RowsOf(d, p_.height_);
    return {std::max(rows.top / kCell, sr0_),
            std::min(rows.bottom / kCell, sr1_),
            CeilWithin(d.cx - d.radius - 0.5, 0, p_.width_) / kCell,
            FloorWithin(d.cx + d.radius - 0.5, -1, p_.width_ - 1) / kCell};
  }
  int* StartsOf(int cellRow) {
    return p_.starts_.data() +
           static_cast<std::size_t>(cellRow - box_.r0) * (box_.width() + 1);
  }
  // The disc's full cells in rows [from, to] as runs.
  void MarkFull(const PiledDisc& d, int from, int to) {
    for (int cr = from; cr <= to; ++cr) {
      const auto [a, b] = p_.FullCells(d, cr);
      if (a > b) continue;
      int* line = StartsOf(cr);
      ++line[a - box_.c0];
      --line[b - box_.c0 + 1];
    }
  }
  // The runs so far into cover_.
  void Settle() {
    for (int cr = sr0_; cr <= sr1_; ++cr) {
      const int* line = StartsOf(cr);
      int depth = 0;
      for (int cc = box_.c0; cc <= box_.c1; ++cc) {
        depth += line[cc - box_.c0];
        if (depth > 0) p_.cover_[box_.At(cr, cc)] = kAll;
      }
    }
  }
  int& Sum(int row, int col) {
    return sums_[static_cast<std::size_t>(row) * (box_.width() + 1) + col];
  }
  // Counts of the cells with nothing left to find (full, or also painted
  // when `painted`), summed from the stripe's top left: whether a disc's
  // cells are all such is then four lookups.
  void CountDone(bool painted) {
    for (int cr = sr0_; cr <= sr1_; ++cr) {
      for (int cc = box_.c0; cc <= box_.c1; ++cc) {
        const int row = cr - sr0_ + 1, col = cc - box_.c0 + 1;
        const bool done = p_.cover_[box_.At(cr, cc)] == kAll ||
                          (painted && p_.Closed(cr, cc));
        Sum(row, col) = Sum(row - 1, col) + Sum(row, col - 1) -
                        Sum(row - 1, col - 1) + (done ? 1 : 0);
      }
    }
  }
  bool AllDone(const Reach& r) {
    const int top = r.from - sr0_, bottom = r.to - sr0_ + 1;
    const int left = r.left - box_.c0, right = r.right - box_.c0 + 1;
    return Sum(bottom, right) - Sum(top, right) - Sum(bottom, left) +
               Sum(top, left) ==
           (bottom - top) * (right - left);
  }
  // The disc's rim in one row of cells, in the open cells beside its full
  // run. Its chords there are found once for all those cells, a square
  // root each, and only if one is open.
  void CoverRimRow(const PiledDisc& d, int cr, int centreRow) {
    const int y0 = cr * kCell;
    const int y1 = std::min(y0 + kCell - 1, p_.height_ - 1);
    const Chord wide = ChordOf(d, std::clamp(centreRow, y0, y1), p_.width_);
    if (wide.x0 > wide.x1) return;
    const auto [a, b] = p_.FullCells(d, cr);
    Chord chords[kCell];
    bool found = false;
    const auto rim = [&](int left, int right) {
      for (int cc = left; cc <= right; ++cc) {
        std::uint64_t& cover = p_.cover_[box_.At(cr, cc)];
        if (cover == kAll || p_.Closed(cr, cc)) continue;
        if (!found) {
          for (int y = y0; y <= y1; ++y) {
            chords[y - y0] = ChordOf(d, y, p_.width_);
          }
          found = true;
        }
        cover |= CellBits(chords, y0, y1, cc);
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
  static std::uint64_t CellBits(const Chord* chords, int y0, int y1, int cc) {
    std::uint64_t bits = 0;
    for (int y = y0; y <= y1; ++y) {
      const Chord c = chords[y - y0];
      if (c.x0 <= c.x1) {
        bits |= RowBits(c.x0, c.x1, cc * kCell) << ((y - y0) * kCell);
      }
    }
    return bits;
  }

  PileCover& p_;
  const Box& box_;
  const int sr0_, sr1_;  // its rows of cells
  std::vector<PiledDisc> own_;
  std::vector<int> sums_;
};

void PileCover::CoverStripe(const PiledDisc* group,
                            const std::vector<std::uint32_t>& which,
                            const Box& box, int stripe,
                            std::vector<std::uint64_t>& fresh) {
  Stripe cover(*this, group, which, box, stripe);
  cover.CoverFull();
  cover.CoverRims();
  cover.Publish(fresh);
}

}  // namespace

struct PiledDiscs::Private {
  Private(std::vector<PiledDisc> d, int width, int height)
      : discs(std::move(d)), painter(width, height) {}
  std::vector<PiledDisc> discs;
  PileCover painter;
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
