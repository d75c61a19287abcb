// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/passes.h"

#include <algorithm>

#include "canvas/plane_geometry.h"
#include "scene/wave_geometry.h"

namespace wave {

namespace {
constexpr double kSourcesY = WaveGeometry::kSourceY;
}  // namespace

CountingLoop::Span VisibleSpan(const CountingLoop& loop, double centreX,
                               double reach, const VisibleArea& area) {
  const Rect rect{area.left, area.top, area.right, area.bottom};
  const Point centre{centreX, kSourcesY};
  return loop.IndicesWithin(NearestDistance(centre, rect) - reach,
                            FarthestDistance(centre, rect) + reach);
}

Passes::Range Passes::All() const {
  if (loop_.passes == 0) return Range(loop_, {});
  return Range(loop_, {{0, loop_.passes - 1}});
}

Passes::Range Passes::SeenIn(const std::optional<VisibleArea>& area,
                             std::initializer_list<double> centresX,
                             double reach) const {
  if (!area) return All();
  std::vector<CountingLoop::Span> spans;
  for (const double x : centresX) {
    const CountingLoop::Span span = VisibleSpan(loop_, x, reach, *area);
    if (!span.empty()) spans.push_back(span);
  }
  std::sort(spans.begin(), spans.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  // Overlapping spans run their shared passes once.
  std::vector<CountingLoop::Span> merged;
  for (const CountingLoop::Span& span : spans) {
    if (!merged.empty() && span.first <= merged.back().last + 1) {
      merged.back().last = std::max(merged.back().last, span.last);
    } else {
      merged.push_back(span);
    }
  }
  return Range(loop_, std::move(merged));
}

Passes::Range::Iterator::Iterator(const Range* range, std::size_t span)
    : loop_(&range->loop_), range_(range), span_(span) {
  if (span_ < range_->spans_.size()) k_ = range_->spans_[span_].first;
}

Passes::Range::Iterator& Passes::Range::Iterator::operator++() {
  if (++k_ > range_->spans_[span_].last) {
    ++span_;
    k_ = span_ < range_->spans_.size() ? range_->spans_[span_].first : 0;
  }
  return *this;
}

}  // namespace wave
