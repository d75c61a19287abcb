// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "canvas/canvas.h"
#include "raster/keep/sparse_image.h"
#include "raster/pixels/pixels.h"
#include "raster/pixels/water_field.h"

namespace wave {

// The lines a frame draws first on the cleared image (the hyperbolas)
// depend only on wavelength and distance, which rarely change between
// frames. They are recorded from the clear until the first other shape;
// when they repeat the last frame's, the image they made is copied back
// instead of drawn: a copy of the image against thousands of line calls.
class LineLayer {
 public:
  struct Call {
    float x1, y1, x2, y2;
    Color color;
    int width, style;
    bool operator==(const Call&) const = default;
  };

  // A frame begins: lines are recorded from here.
  void Open() {
    calls_.clear();
    matched_ = 0;
    under_.reset();
    open_ = true;
  }
  // The lines of this frame lie on water that every frame of these lines
  // shows alike: the layer kept is the water and the lines, and serves
  // only over the same water (even with no lines at all).
  void Under(const WaterField& water) { under_ = water; }
  bool open() const { return open_; }
  // While the calls repeat those kept, only their count is noted.
  void Record(const Call& call) {
    if (calls_.empty() && matched_ < keptCalls_.size() &&
        keptCalls_[matched_] == call) {
      ++matched_;
      return;
    }
    if (calls_.empty() && matched_ > 0) Diverge();
    calls_.push_back(call);
  }
  // Ends the recording. kWhole when the calls repeat those of the layer
  // kept for a buffer of width × height: then kept() is the image they
  // make. kInPart when kept() holds only some of its rows (the rest were
  // under what covered them): the calls are to be laid on the others, and
  // kept in kept(), by KeepRest.
  enum class Reuse { kWhole, kInPart, kNone };
  Reuse Close(int width, int height);
  const SparseImage& kept() const { return kept_; }
  const std::vector<Call>& calls() const { return calls_; }
  // Keeps what the recorded calls drew on `out` over `background`, for the
  // frames to come.
  void Keep(const PixelBuffer& out, std::uint32_t background);
  // The same, left to whoever lays them: the image returned, begun for a
  // buffer of width × height, is to be filled with every row they drew
  // (SparseImage::KeepRows), or cleared.
  SparseImage& KeepLater(int width, int height, std::uint32_t background) {
    kept_.Begin(width, height, background);
    keptCalls_ = calls_;
    keptUnder_ = under_;
    return kept_;
  }
  // The layer kept in part, to be completed by whoever lays the calls again
  // (SparseImage::KeepRows on the rows it lacks).
  SparseImage& KeepRest() { return kept_; }
  void Forget();

 private:
  // The calls so far as calls_, once they differ from those kept.
  void Diverge() {
    calls_.assign(keptCalls_.begin(),
                  keptCalls_.begin() + static_cast<std::ptrdiff_t>(matched_));
    matched_ = 0;
  }

  bool open_ = false;
  std::size_t matched_ = 0;  // calls so far that repeat those kept
  std::vector<Call> calls_;
  std::vector<Call> keptCalls_;
  std::optional<WaterField> under_, keptUnder_;
  SparseImage kept_;
};

}  // namespace wave
