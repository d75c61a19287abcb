// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>

namespace wave {

// Twips (1/1440 inch) to logical pixels to device pixels and back, at one
// logical resolution and one device pixel ratio, for the window's controls
// and its picture alike:
//   logical pixels = twips × dotsPerInch / 1440
//   device pixels  = logical pixels × devicePixelRatio
// The picture keeps the exact value; a control's place and size take the
// nearest whole logical pixel (halves away from zero), within ±1,000,000 so
// that far-away places stay representable as widget coordinates.
struct ScreenMapping {
  static constexpr double kTwipsPerInch = 1440;

  double dotsPerInch = 96;
  double devicePixelRatio = 1;

  double twipsPerPixel() const { return kTwipsPerInch / dotsPerInch; }
  double ToLogical(double twips) const { return twips / twipsPerPixel(); }
  int ToPixels(double twips) const {
    return static_cast<int>(
        std::lround(std::clamp(ToLogical(twips), -1e6, 1e6)));
  }
  double ToTwips(double logicalPixels) const {
    return logicalPixels * twipsPerPixel();
  }
  double ToDevice(double twips) const {
    return ToLogical(twips) * devicePixelRatio;
  }
  double FromDevice(double devicePixels) const {
    return ToTwips(devicePixels / devicePixelRatio);
  }
};

}  // namespace wave
