// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/compose/band_compositor.h"

#include "raster/keep/water_cache.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>

#include "raster/compose/worker_pool.h"
#include "raster/scan/ring_raster.h"

namespace wave {
namespace {

// A band holds about this many bytes of pixels, so that it stays in the
// second-level cache while the frame's shapes are laid on it (the best of
// the sizes tried on a 2 MB cache; the README's tables).
constexpr std::size_t kBandBytes = 768 << 10;
// Below this many pixels the buffer stays in the cache anyway, and when it
// holds only coverage kept from earlier frames the shapes are laid one after
// the other on the whole of it, by one core: waking another costs more than
// it saves.
constexpr long long kBandedPixels = 1 << 20;
// From this many rings to scan, the cores share them even in a small
// buffer (a wavelength at which no ring comes round again).
constexpr std::size_t kBandedRings = 16;
// The rows of rings are found by all workers from this many rings on.
constexpr std::size_t kParallelRings = 32;
// Bands at least this many times the workers (see Prepare).
constexpr int kBandsPerWorker = 8;
// Kept rings by the thousand are trimmed too (see FindRows).
constexpr std::size_t kTrimKept = 1024;

}  // namespace

BandCompositor::BandCompositor(WorkerPool& pool) : pool_(pool) {}

BandCompositor::~BandCompositor() {
  try {
    Land();
  } catch (...) {
    // Nothing is left to draw on: a failure here has no one to tell.
  }
}

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

void BandCompositor::StartShaded(WaterCache& water) {
  Discard();
  start_ = Start::Shaded;
  water_ = &water;
}

void BandCompositor::Lay(const CoverageRuns& coverage, std::uint32_t rgb,
                         int dx, int dy) {
  Land();
  if (coverage.spans.empty()) return;
  ops_.push_back({&coverage, rgb, dx, dy, -1, coverage.spans.front().y + dy,
                  coverage.spans.back().y + dy + 1});
}

void BandCompositor::LaySegments(SegmentBatch& batch, std::uint32_t rgb) {
  Land();
  batch.Prepare();
  const auto [first, last] = batch.rows();
  if (first > last) return;
  ops_.push_back({nullptr, rgb, 0, 0, -1, first, last + 1, &batch});
}

BandCompositor::Ring& BandCompositor::AddRing(double cx, double cy,
                                              double radius, double pen,
                                              bool scanned) {
  if (ringCount_ == rings_.size()) rings_.emplace_back();
  Ring& ring = rings_[ringCount_++];
  ring.cx = cx;
  ring.cy = cy;
  ring.radius = radius;
  ring.pen = pen;
  ring.scanned = scanned;
  ring.nearest = -1;
  ring.farthest = std::numeric_limits<double>::infinity();
  return ring;
}

void BandCompositor::LayRing(double cx, double cy, double radius, double pen,
                             std::uint32_t rgb) {
  Land();
  ops_.push_back({nullptr, rgb, 0, 0, static_cast<int>(ringCount_)});
  AddRing(cx, cy, radius, pen, true).op = ops_.size() - 1;
  ++scannedCount_;
}

void BandCompositor::LayKept(const CoverageRuns& coverage, double cx, double cy,
                             double radius, double pen, std::uint32_t rgb) {
  Land();
  if (coverage.spans.empty()) return;
  ops_.push_back({&coverage, rgb, 0, 0, static_cast<int>(ringCount_),
                  coverage.spans.front().y, coverage.spans.back().y + 1});
  AddRing(cx, cy, radius, pen, false).op = ops_.size() - 1;
}

// A ring's pixels that a later ring about the same centre covers fully
// cannot be seen, whatever lies between: full coverage replaces the pixel.
// Dense fronts lie under their neighbours and crests (at wavelength 0.1,
// fronts 1.7 pixels apart under pens of 4), so most of each need not be
// scanned.
void BandCompositor::Trim() {
  std::vector<std::uint32_t> order(ringCount_);
  for (std::uint32_t i = 0; i < ringCount_; ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const Ring &p = rings_[a], &q = rings_[b];
    if (p.cx != q.cx) return p.cx < q.cx;
    if (p.cy != q.cy) return p.cy < q.cy;
    return a < b;
  });
  // Within a hundredth of a pixel of its edge, full coverage may round to a
  // level below full; such pixels are not counted as covered.
  constexpr double kMargin = 0.01;
  constexpr double kScanBelow = 0.5;
  std::map<double, double> covered;  // distances fully covered later
  for (std::size_t end = ringCount_; end > 0;) {
    std::size_t begin = end - 1;
    const Ring& last = rings_[order[begin]];
    while (begin > 0 && rings_[order[begin - 1]].cx == last.cx &&
           rings_[order[begin - 1]].cy == last.cy) {
      --begin;
    }
    covered.clear();
    for (std::size_t k = end; k-- > begin;) {
      Ring& r = rings_[order[k]];
      const double half = r.pen / 2;
      {
        double nearest = r.radius - half - 0.5,
               farthest = r.radius + half + 0.5;
        auto at = covered.upper_bound(nearest);
        if (at != covered.begin() && std::prev(at)->second >= nearest) {
          nearest = std::prev(at)->second;
        }
        at = covered.upper_bound(farthest);
        if (at != covered.begin() && std::prev(at)->second >= farthest) {
          farthest = std::prev(at)->first;
        }
        r.nearest = nearest;
        r.farthest = farthest;
        // A kept ring mostly covered over is scanned instead, where it
        // shows: at wavelength 0.1 a front shows a third of a pixel of its
        // five, and its coverage costs all five.
        if (!r.scanned && farthest - nearest < kScanBelow * (r.pen + 1)) {
          r.scanned = true;
          ops_[r.op].coverage = nullptr;
          ++scannedCount_;
        }
      }
      double from = r.radius - half + 0.5 + kMargin;
      double to = r.radius + half - 0.5 - kMargin;
      if (!(from < to)) continue;
      // Merged with the distances it overlaps.
      auto at = covered.upper_bound(from);
      if (at != covered.begin() && std::prev(at)->second >= from) --at;
      while (at != covered.end() && at->first <= to) {
        from = std::min(from, at->first);
        to = std::max(to, at->second);
        at = covered.erase(at);
      }
      covered.emplace(from, to);
    }
    end = begin;
  }
}

void BandCompositor::Discard() {
  Land();
  if (keep_ != nullptr) {  // laid in part, or not at all
    keep_->Clear();
    keep_ = nullptr;
  }
  halted_ = false;
  occlusion_.store(nullptr, std::memory_order_relaxed);
  ops_.clear();
  ringCount_ = 0;
  scannedCount_ = 0;
  start_ = Start::AsIs;
}

bool BandCompositor::Banded(const PixelBuffer& out) const {
  // The water costs more than a ring a pixel: banded, it is shared out.
  return static_cast<long long>(out.width) * out.height >= kBandedPixels ||
         scannedCount_ >= kBandedRings || start_ == Start::Shaded;
}

void BandCompositor::Run(const PixelBuffer& out) {
  Land();
  if (!pending()) return;
  // The queue is emptied even when a worker fails, so that what it pointed
  // at may go.
  struct Empty {
    BandCompositor& c;
    ~Empty() { c.Discard(); }
  } empty{*this};
  // A layer kept in part is completed row by row, as bands do.
  if (!Banded(out) && !keepInPart_) {
    LayInOrder(out);
    keep_ = nullptr;  // all kept
    return;
  }
  pool_.Start(Prepare(out));
  pool_.Finish();
  keep_ = nullptr;
}

void BandCompositor::Launch(const PixelBuffer& out) {
  Land();
  // Only rings to scan, or kept by the thousand, take long enough to share.
  if (!pending() || !Banded(out) || pool_.size() == 1 ||
      (scannedCount_ == 0 && ringCount_ < kTrimKept &&
       start_ != Start::Shaded)) {
    return;
  }
  pool_.Start(Prepare(out));
  flying_ = true;
}

void BandCompositor::Land() {
  // Asked to halt, the workers take no more bands: those are laid here.
  if (flying_ && halting_.load(std::memory_order_relaxed)) Halt();
  if (!flying_ && !halted_) return;
  struct Empty {
    BandCompositor& c;
    ~Empty() { c.Discard(); }
  } empty{*this};
  if (halted_) {
    halted_ = false;
    pool_.Start(Job());
  }
  flying_ = false;
  pool_.Finish();
  keep_ = nullptr;  // all kept
}

void BandCompositor::AskToHalt() {
  if (flying_) halting_.store(true, std::memory_order_relaxed);
}

void BandCompositor::Halt() {
  if (!flying_) return;
  halting_.store(true, std::memory_order_relaxed);
  struct Clear {
    std::atomic<bool>& flag;
    ~Clear() { flag.store(false, std::memory_order_relaxed); }
  } clear{halting_};
  flying_ = false;
  try {
    pool_.Finish();
  } catch (...) {
    Discard();
    throw;
  }
  halted_ = true;
}

void BandCompositor::Occlude(std::vector<std::uint8_t> rows,
                             const CellMask* mask) {
  // Once a run: a second would be written while the first is read.
  if (occlusion_.load(std::memory_order_relaxed) != nullptr) Halt();
  Occlusion& o = occlusions_;
  o.skip = std::move(rows);
  o.before = ops_.size();
  o.hides = mask != nullptr;
  if (o.hides) {
    // A copy: the caller may find the next mask in the same storage while
    // the bands begun read this one.
    o.cells.assign(
        mask->cells,
        mask->cells + static_cast<std::ptrdiff_t>(mask->cellsX) * mask->cellsY);
    o.hidden = CellMask{o.cells.data(), mask->cellsX, mask->cellsY};
    o.whole.Count(o.hidden);
  }
  occlusion_.store(&o, std::memory_order_release);
}

bool BandCompositor::KeepHere(SparseImage& into) {
  Land();
  if (!pending()) return false;
  keep_ = &into;
  keepAt_ = ops_.size();
  keepInPart_ = into.any();
  return true;
}

std::function<void(int)> BandCompositor::Prepare(const PixelBuffer& out) {
  FindRows(out);

  // Some bands for every worker, so that one left with the densest rows
  // does not keep the others waiting.
  const int shared = out.height / (kBandsPerWorker * pool_.size());
  const int rows = std::clamp(
      std::min(shared, static_cast<int>(kBandBytes /
                                        (4 * static_cast<std::size_t>(
                                                 std::max(out.width, 1))))),
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
  nextBand_ = 0;
  out_ = out;
  bandRows_ = rows;
  bandCount_ = bands;
  return Job();
}

std::function<void(int)> BandCompositor::Job() {
  // Each worker takes the next band down as it comes free, so its own
  // bands come in order and its cursors only move forward.
  return [this](int worker) {
    for (int band; !halting_.load(std::memory_order_relaxed) &&
                   (band = nextBand_.fetch_add(1)) < bandCount_;) {
      const int top = band * bandRows_;
      LayBand(out_, band, top, std::min(out_.height, top + bandRows_),
              occlusion_.load(std::memory_order_acquire),
              cursors_[static_cast<std::size_t>(worker)]);
    }
  };
}

void BandCompositor::FindRows(const PixelBuffer& out) {
  if (ringCount_ == 0) return;
  // Rings kept are trimmed only when they come by the thousand, packed
  // tight: trimming a few hundred spread ones costs more than it saves.
  if (scannedCount_ > 0 || ringCount_ >= kTrimKept) Trim();
  pool_.ForEach(
      ringCount_,
      [&](std::size_t i, int) {
        Ring& r = rings_[i];
        r.rows.clear();
        if (r.scanned && r.nearest < r.farthest) {
          RingRows(out.width, out.height, r.cx, r.cy, r.radius, r.pen, r.rows);
        }
      },
      kParallelRings);
  for (Op& op : ops_) {
    if (op.ring < 0 || op.coverage != nullptr) continue;
    const RowRuns& rows = rings_[static_cast<std::size_t>(op.ring)].rows;
    if (rows.empty()) continue;
    op.top = rows.front().first;
    op.bottom = rows.back().second + 1;
  }
}

void BandCompositor::LayInOrder(const PixelBuffer& out) const {
  LayStart(out, 0, out.height);
  for (std::size_t i = 0; i <= ops_.size(); ++i) {
    if (keep_ != nullptr && i == keepAt_) keep_->KeepRows(out, 0, out.height);
    if (i == ops_.size()) break;
    const Op& op = ops_[i];
    if (op.lines != nullptr) {
      op.lines->CompositeAll(out, op.rgb, pool_);
    } else if (op.coverage != nullptr) {
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
  if (start_ == Start::Shaded) {
    water_->Lay(out, top, bottom);
    return;
  }
  if (start_ != Start::Filled) return;
  for (int y = top; y < bottom; ++y) {
    std::fill_n(out.pixels + y * out.stride, out.width, fill_);
  }
}

void BandCompositor::LayBand(const PixelBuffer& out, int band, int top,
                             int bottom, const Occlusion* occlusion,
                             std::vector<std::size_t>& cursors) const {
  // Rows left out, rows of a layer being kept that it holds already (their
  // start copies it), and the rest.
  enum Rows { kLeftOut, kInLayer, kAll };
  const auto rows = [&](int y) {
    if (occlusion != nullptr &&
        static_cast<std::size_t>(y) < occlusion->skip.size() &&
        occlusion->skip[y] != 0) {
      return kLeftOut;
    }
    return keep_ != nullptr && keep_->kept(y) ? kInLayer : kAll;
  };
  for (int from = top; from < bottom;) {
    const Rows these = rows(from);
    int to = from + 1;
    while (to < bottom && rows(to) == these) ++to;
    // Rows left out are left out of the layer being kept too, which is then
    // not whole, and laid there by the next frame that shows them: laid
    // whole under piled markers, 30,000 segments cost a fifth of the frame.
    if (these == kLeftOut) {
      LayRows(out, band, from, to, false, occlusion->before, false, occlusion,
              cursors);
    } else {
      LayRows(out, band, from, to, true, these == kInLayer ? keepAt_ : 0,
              these == kAll, occlusion, cursors);
    }
    from = to;
  }
}

void BandCompositor::LayRows(const PixelBuffer& out, int band, int top,
                             int bottom, bool start, std::size_t skipTo,
                             bool keep, const Occlusion* occlusion,
                             std::vector<std::size_t>& cursors) const {
  const bool hides = occlusion != nullptr && occlusion->hides;
  if (start) LayStart(out, top, bottom);
  bool kept = keep_ == nullptr || !keep;
  const std::vector<std::uint32_t>& ops =
      bands_[static_cast<std::size_t>(band)];
  for (auto at = ops.begin(); at != ops.end(); ++at) {
    const std::uint32_t i = *at;
    if (!kept && i >= keepAt_) {
      keep_->KeepRows(out, top, bottom);
      kept = true;
    }
    if (i < skipTo) {
      at = std::lower_bound(at, ops.end(), static_cast<std::uint32_t>(skipTo));
      if (at == ops.end()) break;
      --at;
      continue;
    }
    const Op& op = ops_[i];
    if (op.lines != nullptr) {
      op.lines->CompositeRows(out, op.rgb, top, bottom);
      continue;
    }
    if (op.coverage == nullptr) {
      const Ring& r = rings_[static_cast<std::size_t>(op.ring)];
      StrokeRingRows(
          out, r.cx, r.cy, r.radius, r.pen, op.rgb, r.rows, top, bottom,
          r.nearest, r.farthest,
          hides && i < occlusion->before ? &occlusion->hidden : nullptr,
          hides ? &occlusion->whole : nullptr);
      continue;
    }
    cursors[i] = LayCoverageRows(out, *op.coverage, op.rgb, op.dx, op.dy, top,
                                 bottom, cursors[i]);
  }
  if (!kept) keep_->KeepRows(out, top, bottom);
}

}  // namespace wave
