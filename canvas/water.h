// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "canvas/canvas.h"

namespace wave {

// What the water under the construction shows, if anything.
enum class WaterView : std::uint8_t { kNone = 0, kSurface = 1, kAmplitude = 2 };

// The water of two equal point sources, undamped, in twips. A source's wave
// has reached a point when its distance r is at most `front`; there it
// lifts the water by cos(2π(front − r)/λ), and B's crests lie λ/2 further in
// when `antiphase`. Where `wavelength` is not positive no front has left
// the sources and the water is still.
struct WaterShade {
  WaterView view = WaterView::kSurface;
  double ax = 0, ay = 0, bx = 0, by = 0;
  double front = 0;
  double wavelength = 0;
  bool antiphase = false;
  bool operator==(const WaterShade&) const = default;
};

// Levels 0..255 of the two views: the surface's height −2..2 (0 at 128)
// and the swing's amplitude 0..2, each spread evenly over the levels.
constexpr int kWaterLevels = 256;
inline double SurfaceOfLevel(int level) { return (level - 128) / 63.75; }
inline double AmplitudeOfLevel(int level) { return level / 127.5; }

// A neutral grey whose lightness (CIE L*) rises evenly with the level:
// crests and swinging water light, troughs and still water darker. It
// reads the same to every eye and in greyscale.
Color WaterColour(WaterView view, int level);

}  // namespace wave
