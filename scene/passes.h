// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "canvas/canvas.h"
#include "scene/counting_loop.h"

namespace wave {

// The passes of a counting loop, each as (index, counter), in order:
//   for (auto [k, r] : Passes(front, 0, h).SeenIn(view, {xA, xB})) …
// SeenIn keeps the passes whose circle about one of the centres (on the
// line y = 4000 of the sources), widened by `reach`, can touch the area;
// without an area it keeps them all. Only which passes run changes, never
// their order or values.
class Passes {
 public:
  struct Pass {
    std::int64_t index;
    double radius;
  };

  class Range {
   public:
    class Iterator {
     public:
      Pass operator*() const { return {k_, loop_->At(k_)}; }
      Iterator& operator++();
      bool operator==(const Iterator& other) const {
        return span_ == other.span_ && k_ == other.k_;
      }

     private:
      friend class Range;
      Iterator(const Range* range, std::size_t span);
      const CountingLoop* loop_ = nullptr;
      const Range* range_ = nullptr;
      std::size_t span_ = 0;
      std::int64_t k_ = 0;
    };

    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, spans_.size()); }

   private:
    friend class Passes;
    Range(const CountingLoop& loop, std::vector<CountingLoop::Span> spans)
        : loop_(loop), spans_(std::move(spans)) {}
    CountingLoop loop_;
    std::vector<CountingLoop::Span> spans_;  // sorted, disjoint, non-empty
  };

  Passes(double start, double end, double step) : loop_(start, end, step) {}
  explicit Passes(const CountingLoop& loop) : loop_(loop) {}

  Range All() const;
  Range SeenIn(const std::optional<VisibleArea>& area,
               std::initializer_list<double> centresX, double reach = 0) const;
  const CountingLoop& loop() const { return loop_; }

 private:
  CountingLoop loop_;
};

// The passes of `loop` whose circle about (centreX, 4000), widened by
// `reach`, can touch the area.
CountingLoop::Span VisibleSpan(const CountingLoop& loop, double centreX,
                               double reach, const VisibleArea& area);

}  // namespace wave
