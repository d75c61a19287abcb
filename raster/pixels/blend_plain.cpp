// SPDX-License-Identifier: GPL-3.0-or-later
// Where the processor offers no lanes this build knows: every loop is the
// pixel-by-pixel one.
#include "raster/pixels/span_lanes.h"

namespace wave::lanes {

void LaySpansFour(const PixelBuffer& buffer, const CoverageRuns& coverage,
                  std::uint32_t colour, int dx, int dy, SpanRange spans) {
  LaySpansPlain(buffer, coverage, colour, dx, dy, spans);
}

void LaySpansEight(const PixelBuffer& buffer, const CoverageRuns& coverage,
                   std::uint32_t colour, int dx, int dy, SpanRange spans) {
  LaySpansPlain(buffer, coverage, colour, dx, dy, spans);
}

bool HasEight() { return false; }

}  // namespace wave::lanes
