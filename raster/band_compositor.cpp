// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/band_compositor.h"

#include <algorithm>
#include <cstring>

#include "raster/ring_raster.h"
#include "raster/worker_pool.h"

namespace wave {
namespace {

// A band holds about this many bytes of pixels, so that it stays in the
// second-level cache while the frame's shapes are laid on it.
constexpr std::size_t kBandBytes = 128 << 10;
// Below this many pixels (4 MB) the buffer stays in the cache anyway: the
// shapes are laid one after the other on the whole of it, by one core
// (waking another costs more than it saves at the window's own 682 × 476),
// and a ring seen once is blended as it is scanned, without keeping its
// coverage even for a moment.
constexpr long long kBandedPixels = 1 << 20;
// The rows of rings are found by all workers from this many rings on.
constexpr std::size_t kParallelRings = 32;

}  // namespace

BandCompositor::BandCompositor(WorkerPool& pool) : pool_(pool) {}

BandCompositor::~BandCompositor() = default;

void BandCompositor::StartFilled(std::uint32_t rgb) {
  Discard();
  start_ = Start::Filled;
  fill_ = 0xFF000000u | rgb;
}

void BandCompositor::StartCopied(const SparseImage& image) {
  Discard();
  start_ = Start::Copied;
  copied_ = &image;
}

void BandCompositor::Lay(const RingCoverage& coverage, std::uint32_t rgb,
                         int dx, int dy) {
  if (coverage.spans.empty()) return;
  ops_.push_back({&coverage, rgb, dx, dy, -1, coverage.spans.front().y + dy,
                  coverage.spans.back().y + dy + 1});
}

void BandCompositor::LayRing(double cx, double cy, double radius, double pen,
                             std::uint32_t rgb) {
  ops_.push_back({nullptr, rgb, 0, 0, static_cast<int>(ringCount_)});
  if (ringCount_ == rings_.size()) rings_.emplace_back();
  Ring& ring = rings_[ringCount_++];
  ring.cx = cx;
  ring.cy = cy;
  ring.radius = radius;
  ring.pen = pen;
}

void BandCompositor::Discard() {
  ops_.clear();
  ringCount_ = 0;
  start_ = Start::AsIs;
}

bool BandCompositor::Banded(const PixelBuffer& out) {
  return static_cast<long long>(out.width) * out.height >= kBandedPixels;
}

void BandCompositor::Run(const PixelBuffer& out) {
  if (!pending()) return;
  // The queue is emptied even when a worker fails, so that what it pointed
  // at may go.
  struct Empty {
    BandCompositor& c;
    ~Empty() { c.Discard(); }
  } empty{*this};
  if (!Banded(out)) {
    LayInOrder(out);
    return;
  }
  FindRows(out);

  const int rows = std::clamp(
      static_cast<int>(kBandBytes /
                       (4 * static_cast<std::size_t>(std::max(out.width, 1)))),
      8, std::max(out.height, 8));
  const int bands = (out.height + rows - 1) / rows;
  // The ops of each band, in order: a band passes over no other.
  if (bands_.size() < static_cast<std::size_t>(bands)) bands_.resize(bands);
  for (int b = 0; b < bands; ++b) bands_[static_cast<std::size_t>(b)].clear();
  for (std::size_t i = 0; i < ops_.size(); ++i) {
    const Op& op = ops_[i];
    const int first = std::max(op.top, 0) / rows;
    const int last = std::min(op.bottom, out.height) - 1;
    for (int b = first; b <= last / rows && last >= 0; ++b) {
      bands_[static_cast<std::size_t>(b)].push_back(
          static_cast<std::uint32_t>(i));
    }
  }
  cursors_.resize(static_cast<std::size_t>(pool_.size()));
  for (auto& c : cursors_) c.assign(ops_.size(), 0);
  pool_.ForEach(static_cast<std::size_t>(bands), [&](std::size_t band,
                                                     int worker) {
    const int top = static_cast<int>(band) * rows;
    LayBand(out, static_cast<int>(band), top, std::min(out.height, top + rows),
            cursors_[static_cast<std::size_t>(worker)]);
  });
}

void BandCompositor::FindRows(const PixelBuffer& out) {
  if (ringCount_ == 0) return;
  pool_.ForEach(
      ringCount_,
      [&](std::size_t i, int) {
        Ring& r = rings_[i];
        RingRows(out.width, out.height, r.cx, r.cy, r.radius, r.pen, r.rows);
      },
      kParallelRings);
  for (Op& op : ops_) {
    if (op.ring < 0) continue;
    const RowRuns& rows = rings_[static_cast<std::size_t>(op.ring)].rows;
    if (rows.empty()) continue;
    op.top = rows.front().first;
    op.bottom = rows.back().second + 1;
  }
}

void BandCompositor::LayInOrder(const PixelBuffer& out) const {
  LayStart(out, 0, out.height);
  for (const Op& op : ops_) {
    if (op.ring < 0) {
      LayCoverage(out, *op.coverage, op.rgb, op.dx, op.dy);
    } else {
      const Ring& r = rings_[static_cast<std::size_t>(op.ring)];
      StrokeRing(out, r.cx, r.cy, r.radius, r.pen, op.rgb);
    }
  }
}

void BandCompositor::LayStart(const PixelBuffer& out, int top,
                              int bottom) const {
  if (start_ == Start::Copied) {
    copied_->CopyRows(out, top, bottom);
    return;
  }
  if (start_ != Start::Filled) return;
  for (int y = top; y < bottom; ++y) {
    std::fill_n(out.pixels + y * out.stride, out.width, fill_);
  }
}

void BandCompositor::LayBand(const PixelBuffer& out, int band, int top,
                             int bottom,
                             std::vector<std::size_t>& cursors) const {
  LayStart(out, top, bottom);
  for (const std::uint32_t i : bands_[static_cast<std::size_t>(band)]) {
    const Op& op = ops_[i];
    if (op.ring >= 0) {
      const Ring& r = rings_[static_cast<std::size_t>(op.ring)];
      StrokeRingRows(out, r.cx, r.cy, r.radius, r.pen, op.rgb, r.rows, top,
                     bottom);
      continue;
    }
    cursors[i] = LayCoverageRows(out, *op.coverage, op.rgb, op.dx, op.dy, top,
                                 bottom, cursors[i]);
  }
}

}  // namespace wave
