// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "canvas/screen_mapping.h"
#include "scene/wave_scene.h"

namespace wave::window {

// A box in logical pixels of the client area.
struct PixelBox {
  double left = 0, top = 0, width = 0, height = 0;
  bool Meets(const PixelBox& other, double gap) const;
  bool operator==(const PixelBox&) const = default;
};

// A line's order where it leaves the picture: 「m = 2」 in the colour of its
// family, drawn over the frame like P.
struct LineLabel {
  std::string text;
  bool antinodal = false;  // else a nodal line
  PixelBox box;            // the text centred in it
  bool operator==(const LineLabel&) const = default;
};

inline constexpr double kLabelFontPx = 12;

// A label for each line the last frame drew, below the sources where the
// line leaves the client area (at its bottom or side) or where its drawing
// ends inside it: for the antinodal family in phase m = |AP − BP|/λ, for the
// nodal family |AP − BP| = (m + ½)λ, the two swapped in opposite phase.
// Lower orders come first; a label that would meet one placed already, or
// a box in `avoid` (the controls), or leave the area, is left out.
std::vector<LineLabel> PlaceLineOrders(const WaveScene& scene,
                                       const ScreenMapping& mapping,
                                       double clientWidthPx,
                                       double clientHeightPx,
                                       const std::vector<PixelBox>& avoid);

}  // namespace wave::window
