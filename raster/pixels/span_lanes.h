// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "raster/pixels/blend.h"

// Laying coverage span by span, shared by the loops of each instruction
// set (blend_sse2.cpp, blend_avx2.cpp): each loop is compiled for its own
// set, so that it inlines its blend; blend.cpp picks one at run time.
namespace wave::lanes {

using SpanRange =
    std::pair<const CoverageRuns::Span*, const CoverageRuns::Span*>;

// The part of a span, moved by (dx, dy), that lies in the buffer.
struct Clipped {
  int y, x, count;
  const std::uint8_t* levels;
};
inline bool Clip(const PixelBuffer& buffer, const CoverageRuns& coverage,
                 const CoverageRuns::Span& span, int dx, int dy, Clipped& out) {
  const int y = span.y + dy;
  if (y < 0 || y >= buffer.height) return false;
  const int x = span.x + dx;
  const int from = std::max(0, -x);
  const int to = std::min(span.count, buffer.width - x);
  if (from >= to) return false;
  out = {y, x + from, to - from, coverage.levels.data() + span.first + from};
  return true;
}

// Calls blend(row, count, levels) for the part of each span in the buffer.
template <class Blend>
void ForEachSpan(const PixelBuffer& buffer, const CoverageRuns& coverage,
                 int dx, int dy, SpanRange spans, Blend blend) {
  Clipped c;
  for (const CoverageRuns::Span* span = spans.first; span != spans.second;
       ++span) {
    if (Clip(buffer, coverage, *span, dx, dy, c)) {
      blend(buffer.pixels + c.y * buffer.stride + c.x, c.count, c.levels);
    }
  }
}

// Pixel by pixel: what no lanes are had for, and the ends of spans.
inline void BlendSpanPlain(std::uint32_t* row, int from, int count,
                           const std::uint8_t* levels, std::uint32_t colour) {
  for (int i = from; i < count; ++i) LayPixel(row[i], colour, levels[i]);
}

void LaySpansPlain(const PixelBuffer& buffer, const CoverageRuns& coverage,
                   std::uint32_t colour, int dx, int dy, SpanRange spans);
// Four pixels at a time (SSE2, every x86-64 processor).
void LaySpansFour(const PixelBuffer& buffer, const CoverageRuns& coverage,
                  std::uint32_t colour, int dx, int dy, SpanRange spans);
// Eight at a time (AVX2), only where the processor has it.
void LaySpansEight(const PixelBuffer& buffer, const CoverageRuns& coverage,
                   std::uint32_t colour, int dx, int dy, SpanRange spans);
bool HasEight();

}  // namespace wave::lanes
