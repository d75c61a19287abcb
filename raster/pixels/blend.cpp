// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/pixels/blend.h"

#include "raster/pixels/span_lanes.h"

namespace wave {

namespace lanes {

void LaySpansPlain(const PixelBuffer& buffer, const CoverageRuns& coverage,
                   std::uint32_t colour, int dx, int dy, SpanRange spans) {
  ForEachSpan(
      buffer, coverage, dx, dy, spans,
      [colour](std::uint32_t* row, int count, const std::uint8_t* levels) {
        BlendSpanPlain(row, 0, count, levels, colour);
      });
}

}  // namespace lanes

namespace {

void Lay(const PixelBuffer& buffer, const CoverageRuns& coverage,
         std::uint32_t rgb, int dx, int dy, lanes::SpanRange spans,
         Lanes widest) {
  const std::uint32_t colour = 0xFF000000u | (rgb & 0xFFFFFFu);
  if (widest == Lanes::Widest && lanes::HasEight()) {
    lanes::LaySpansEight(buffer, coverage, colour, dx, dy, spans);
  } else {
    lanes::LaySpansFour(buffer, coverage, colour, dx, dy, spans);
  }
}

}  // namespace

void LayCoverage(const PixelBuffer& buffer, const CoverageRuns& coverage,
                 std::uint32_t rgb, int dx, int dy, Lanes lanes) {
  const CoverageRuns::Span* spans = coverage.spans.data();
  Lay(buffer, coverage, rgb, dx, dy, {spans, spans + coverage.spans.size()},
      lanes);
}

std::size_t LayCoverageRows(const PixelBuffer& buffer,
                            const CoverageRuns& coverage, std::uint32_t rgb,
                            int dx, int dy, int top, int bottom,
                            std::size_t from, Lanes lanes) {
  const std::size_t count = coverage.spans.size();
  const CoverageRuns::Span* spans = coverage.spans.data();
  while (from < count && spans[from].y + dy < top) ++from;
  std::size_t to = from;
  while (to < count && spans[to].y + dy < bottom) ++to;
  Lay(buffer, coverage, rgb, dx, dy, {spans + from, spans + to}, lanes);
  return to;
}

}  // namespace wave
