// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace wave {

// The first pixel of row from x on that is not `colour`, or width: a layer
// of thin lines is mostly background, passed as fast as the processor
// allows (row_scan_sse2.cpp, row_scan_plain.cpp).
int SkipColour(const std::uint32_t* row, int x, int width,
               std::uint32_t colour);

}  // namespace wave
