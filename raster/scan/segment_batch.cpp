// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/scan/segment_batch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "raster/scan/segment_row.h"

namespace wave {
namespace {

struct Interval {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  void Include(double a, double b) {
    lo = std::min(lo, a);
    hi = std::max(hi, b);
  }
};

// x-range of a row y where c0 + c1·x lies within [lo, hi]; inverse is
// 1 / c1, found once a segment: four divisions a row cost a tenth of the
// lines' time.
bool LinearRange(double c0, double c1, double inverse, double lo, double hi,
                 double& from, double& to) {
  if (c1 == 0) {
    if (c0 < lo || c0 > hi) return false;
    from = -std::numeric_limits<double>::infinity();
    to = std::numeric_limits<double>::infinity();
    return true;
  }
  double a = (lo - c0) * inverse;
  double b = (hi - c0) * inverse;
  if (a > b) std::swap(a, b);
  from = a;
  to = b;
  return true;
}

// The columns of row centre yc a segment from p0 to p1 reaches: its two
// round ends and the straight band between, |n·(q − p0)| ≤ reach and
// 0 ≤ u·(q − p0) ≤ length. Empty when lo > hi.
struct Reach {
  double x0, y0, x1, y1;
  double acrossInverse, alongInverse;  // of the direction's components
};
Interval SpanOf(const Reach& r, const segment::Frame& f, double yc) {
  const double reach = f.half + 0.5;
  Interval span;
  for (const auto& [px, py] : {std::pair{r.x0, r.y0}, std::pair{r.x1, r.y1}}) {
    const double e = yc - py;
    if (std::fabs(e) <= reach) {
      const double half = std::sqrt(reach * reach - e * e);
      span.Include(px - half, px + half);
    }
  }
  double a0, a1, b0, b1;
  if (f.length > 0 &&
      LinearRange(f.uy * r.x0 + f.ux * (yc - r.y0), -f.uy, r.acrossInverse,
                  -reach, reach, a0, a1) &&
      LinearRange(-f.ux * r.x0 + f.uy * (yc - r.y0), f.ux, r.alongInverse, 0,
                  f.length, b0, b1)) {
    const double from = std::max(a0, b0);
    const double to = std::min(a1, b1);
    if (from <= to) span.Include(from, to);
  }
  return span;
}

}  // namespace

// Rows of a band: some 32 KB of coverage at the widest.
constexpr int kBandRows = 32;

struct SegmentBatch::Rows {
  int top = 0, width = 0;
  // All 0 between uses: Lay clears what Cover wrote.
  std::vector<std::uint8_t> coverage;
  std::vector<int> left, right;  // the columns touched in each row
  void Reset(int from, int count, int w) {
    top = from;
    width = w;
    const auto size = static_cast<std::size_t>(count) * w;
    if (coverage.size() < size) coverage.resize(size, 0);
    left.assign(static_cast<std::size_t>(count), w);
    right.assign(static_cast<std::size_t>(count), -1);
  }
  std::uint8_t* Row(int y) {
    return coverage.data() + static_cast<std::size_t>(y - top) * width;
  }
};

void SegmentBatch::Fit(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  Clear();
}

void SegmentBatch::AddSegment(double x0, double y0, double x1, double y1,
                              double penWidth) {
  segments_.push_back({x0, y0, x1, y1, penWidth});
}

std::pair<int, int> SegmentBatch::RowsOf(const Segment& s) const {
  const double reach = s.pen / 2 + 0.5;
  return {
      std::max(0, static_cast<int>(std::floor(std::min(s.y0, s.y1) - reach))),
      std::min(height_ - 1,
               static_cast<int>(std::ceil(std::max(s.y0, s.y1) + reach)))};
}

void SegmentBatch::Prepare() {
  const std::size_t bands = (height_ + kBandRows - 1) / kBandRows;
  if (bands_.size() < bands) bands_.resize(bands);
  rows_ = {height_, -1};
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    const auto [top, bottom] = RowsOf(segments_[i]);
    if (top > bottom) continue;
    rows_ = {std::min(rows_.first, top), std::max(rows_.second, bottom)};
    for (int b = top / kBandRows; b <= bottom / kBandRows; ++b) {
      bands_[static_cast<std::size_t>(b)].push_back(
          static_cast<std::uint32_t>(i));
    }
  }
}

void SegmentBatch::Clear() {
  for (auto& band : bands_) band.clear();
  segments_.clear();
  rows_ = {0, -1};
}

void SegmentBatch::CompositeRows(const PixelBuffer& buffer, std::uint32_t rgb,
                                 int top, int bottom) const {
  top = std::max(top, rows_.first);
  bottom = std::min(bottom, rows_.second + 1);
  if (top >= bottom) return;
  // Each thread's coverage of the rows it lays, kept for its next rows.
  thread_local Rows rows;
  rows.Reset(top, bottom - top, width_);
  const int firstBand = top / kBandRows;
  for (int b = firstBand; b <= (bottom - 1) / kBandRows; ++b) {
    for (const std::uint32_t i : bands_[static_cast<std::size_t>(b)]) {
      const Segment& s = segments_[i];
      // Listed in every band it reaches: covered at the first of these.
      if (b > firstBand && RowsOf(s).first / kBandRows < b) continue;
      Cover(s, top, bottom - 1, rows);
    }
  }
  Lay(buffer, 0xFF000000u | (rgb & 0xFFFFFFu), rows);
}

void SegmentBatch::Composite(const PixelBuffer& buffer, std::uint32_t rgb,
                             WorkerPool& pool) {
  if (segments_.empty()) return;
  Prepare();
  CompositeAll(buffer, rgb, pool);
  Clear();
}

void SegmentBatch::CompositeAll(const PixelBuffer& buffer, std::uint32_t rgb,
                                WorkerPool& pool) const {
  const std::size_t bands = (height_ + kBandRows - 1) / kBandRows;
  pool.ForEach(bands, [&](std::size_t b, int) {
    const int top = static_cast<int>(b) * kBandRows;
    CompositeRows(buffer, rgb, top, std::min(height_, top + kBandRows));
  });
}

void SegmentBatch::Cover(const Segment& s, int bandTop, int bandBottom,
                         Rows& rows) const {
  const segment::Frame f = segment::FrameOf(s.x0, s.y0, s.x1, s.y1, s.pen);
  const Reach reach{s.x0,
                    s.y0,
                    s.x1,
                    s.y1,
                    f.uy != 0 ? 1 / -f.uy : 0,
                    f.ux != 0 ? 1 / f.ux : 0};
  const auto [first, last] = RowsOf(s);
  const int top = std::max(first, bandTop);
  const int bottom = std::min(last, bandBottom);
  for (int y = top; y <= bottom; ++y) {
    const double yc = y + 0.5;
    const Interval span = SpanOf(reach, f, yc);
    if (!(span.lo <= span.hi)) continue;
    const int left = FloorWithin(span.lo, 0, width_);
    const int right = CeilWithin(span.hi, -1, width_ - 1);
    if (left > right) continue;
    segment::CoverRow(rows.Row(y), left, right, yc, f);
    int& from = rows.left[static_cast<std::size_t>(y - rows.top)];
    int& to = rows.right[static_cast<std::size_t>(y - rows.top)];
    from = std::min(from, left);
    to = std::max(to, right);
  }
}

void SegmentBatch::Lay(const PixelBuffer& buffer, std::uint32_t colour,
                       Rows& rows) const {
  const int count = static_cast<int>(rows.left.size());
  for (int i = 0; i < count; ++i) {
    const int y = rows.top + i;
    const int from = rows.left[static_cast<std::size_t>(i)];
    const int to = rows.right[static_cast<std::size_t>(i)];
    if (from > to) continue;
    std::uint8_t* row = rows.Row(y);
    std::uint32_t* out = buffer.pixels + y * buffer.stride;
    for (int x = from; x <= to; ++x) {
      const unsigned c = row[x];
      if (c == 0) continue;
      out[x] = c == 255 ? colour : BlendPixel(out[x], colour, c + (c >> 7));
      row[x] = 0;
    }
  }
}

}  // namespace wave
