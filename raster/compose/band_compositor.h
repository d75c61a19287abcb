// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "raster/keep/sparse_image.h"
#include "raster/pixels/blend.h"
#include "raster/pixels/pixels.h"
#include "raster/scan/ring_raster.h"
#include "raster/scan/segment_batch.h"

namespace wave {

class WorkerPool;
class WaterCache;

// Coverage laid over a large pixel buffer band by band: every shape queued
// is laid on a band of rows while those rows are in the cache, then the
// next band. Laid shape by shape, a frame larger than the cache goes
// through memory once per ring and waits on it for most of its time. Bands
// are shared among the cores; a pixel meets the same shapes in the same order
// whichever worker lays its band, so the picture is the same for any number of
// them.
class BandCompositor {
 public:
  // Shares its bands out among the workers of `pool`.
  explicit BandCompositor(WorkerPool& pool);
  ~BandCompositor();
  BandCompositor(const BandCompositor&) = delete;
  BandCompositor& operator=(const BandCompositor&) = delete;

  // How each band starts before anything is laid on it: as the buffer holds
  // it (until one of these is called), filled with rgb, or copied from an
  // image of the buffer's size kept elsewhere, which must stay until Run.
  void StartFilled(std::uint32_t rgb);
  void StartCopied(const SparseImage& image);
  // Or with the water as `water` is prepared; it must stay until Run.
  void StartShaded(WaterCache& water);
  // Queues coverage kept elsewhere, moved by (dx, dy); it must stay until
  // Run.
  void Lay(const CoverageRuns& coverage, std::uint32_t rgb, int dx = 0,
           int dy = 0);
  // Queues a ring (centre, radius and pen in device pixels), scanned and
  // blended at Run, band by band, without keeping its coverage.
  void LayRing(double cx, double cy, double radius, double pen,
               std::uint32_t rgb);
  // Queues the lines of `batch`, prepared here; it must stay until Run.
  void LaySegments(SegmentBatch& batch, std::uint32_t rgb);
  // Queues the coverage kept of such a ring; it must stay until Run.
  void LayKept(const CoverageRuns& coverage, double cx, double cy,
               double radius, double pen, std::uint32_t rgb);

  bool pending() const { return start_ != Start::AsIs || !ops_.empty(); }

  // Lays everything queued on `out`, in order, and empties the queue.
  void Run(const PixelBuffer& out);
  // Has the other workers begin Run in the background, when the buffer is
  // laid in bands and rings are to be scanned: the caller goes on (with the
  // crossing dots, say) until the queue is next touched or run, which waits
  // for the rest, helping. Until then nothing may touch `out` or what the
  // queue points at.
  void Launch(const PixelBuffer& out);
  // Waits for a launched run to end, helping with it.
  void Land();
  // Has a launched run stop after the bands begun, and waits for them; the
  // rest waits in the queue until it is next touched or run.
  void Halt();
  // Halt without the wait, so that the caller may go on meanwhile: the
  // queue waits for the bands begun when it is next touched.
  void AskToHalt();
  // What comes next covers whole the rows given by a nonzero entry, and
  // the pixels set in `mask` (when given; it is copied): nothing
  // queued so far need be laid on those rows, nor the rings queued so far
  // on those pixels. A layer being kept is not kept on the rows, and so not
  // complete. May be called while a run is launched, once: the bands it
  // begins from then on take it, and the caller need not wait for those
  // begun (halting there would cost the time of a band).
  void Occlude(std::vector<std::uint8_t> rows, const CellMask* mask);
  // Keeps in `into`, begun for the buffer's size, each band's rows as what
  // is queued so far leaves them, as the band is laid. Rows it holds
  // already are not laid again: they are to start as it (StartCopied), and
  // take only what is queued after. False, keeping nothing, when nothing is
  // queued; `into` is cleared when the queue is emptied unlaid.
  bool KeepHere(SparseImage& into);
  // Empties the queue unlaid: what it held was erased before it was seen.
  void Discard();

 private:
  enum class Start { AsIs, Filled, Copied, Shaded };
  struct Op {
    const CoverageRuns* coverage;  // or null for a ring
    std::uint32_t rgb;
    int dx, dy;
    int ring;                 // index into rings_, or -1
    int top = 0, bottom = 0;  // rows it touches, once known: [top, bottom)
    const SegmentBatch* lines = nullptr;
  };
  struct Ring {
    double cx, cy, radius, pen;
    bool scanned;    // or laid from coverage kept
    std::size_t op;  // that draws it
    // The distances from the centre whose pixels must be drawn: the rest
    // is covered over later. Found at Run, like the rows.
    double nearest, farthest;
    RowRuns rows;
  };
  Ring& AddRing(double cx, double cy, double radius, double pen, bool scanned);
  void Trim();
  bool Banded(const PixelBuffer& out) const;
  void LayInOrder(const PixelBuffer& out) const;
  void LayStart(const PixelBuffer& out, int top, int bottom) const;
  void FindRows(const PixelBuffer& out);
  // Readies a banded run and returns the work of each worker.
  std::function<void(int)> Prepare(const PixelBuffer& out);
  // The work of each worker on the bands not yet taken.
  std::function<void(int)> Job();
  struct Occlusion;
  void LayBand(const PixelBuffer& out, int band, int top, int bottom,
               const Occlusion* occlusion,
               std::vector<std::size_t>& cursors) const;
  // Lays the band's ops from skipTo on rows [top, bottom), after how they
  // start if `start`, keeping them on the way if `keep` and a layer is to
  // be kept.
  void LayRows(const PixelBuffer& out, int band, int top, int bottom,
               bool start, std::size_t skipTo, bool keep,
               const Occlusion* occlusion,
               std::vector<std::size_t>& cursors) const;

  Start start_ = Start::AsIs;
  std::uint32_t fill_ = 0;
  const SparseImage* copied_ = nullptr;
  WaterCache* water_ = nullptr;
  std::vector<Op> ops_;
  std::vector<Ring> rings_;  // reused, with their rows' storage
  std::size_t ringCount_ = 0;
  std::size_t scannedCount_ = 0;  // of them, rings to be scanned
  std::vector<std::vector<std::uint32_t>> bands_;  // ops by band
  // Per worker, per op: the first span of a kept coverage not yet laid.
  // A worker's bands come in order, so these only move forward.
  std::vector<std::vector<std::size_t>> cursors_;
  WorkerPool& pool_;
  // The run readied: its buffer, bands and the rows each takes.
  PixelBuffer out_{};
  int bandRows_ = 0, bandCount_ = 0;
  std::atomic<int> nextBand_{0};
  std::atomic<bool> halting_{false};  // workers take no more bands
  struct Occlusion {
    std::vector<std::uint8_t> skip;    // rows not to be laid
    std::size_t before = 0;            // by ops before this
    std::vector<std::uint64_t> cells;  // of hidden, its own
    CellMask hidden;                   // for rings before `before`
    WholeCells whole;                  // of hidden
    bool hides = false;
  };
  // What the bands begun take; written, then published, once a run.
  Occlusion occlusions_;
  std::atomic<const Occlusion*> occlusion_{nullptr};
  SparseImage* keep_ = nullptr;  // rows kept once ops [0, keepAt_) laid
  std::size_t keepAt_ = 0;
  bool keepInPart_ = false;  // rows of keep_ kept before
  bool flying_ = false;      // launched and not yet landed
  bool halted_ = false;      // launched, halted, and the rest not yet laid
};

}  // namespace wave
