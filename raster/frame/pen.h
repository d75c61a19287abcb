// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>

#include "canvas/canvas.h"

namespace wave {

// The drawing settings a shape is drawn with, as they were when it was
// called for: shapes batched for later keep theirs.
struct Pen {
  int width = 1;
  int style = kSolid;
  int fill = kFillHollow;
  Color fillColor = 0;

  double Width() const { return std::max(width, 1); }
  bool Invisible() const { return style == kInvisible; }
  // Broken styles show only on one-pixel pens.
  bool Solid() const {
    return width > 1 || style == kSolid || style == kInsideSolid;
  }
  // Outline and fill of one colour, drawn whole.
  bool Plain(Color color) const {
    return Solid() && !Invisible() && color == fillColor;
  }
};

}  // namespace wave
