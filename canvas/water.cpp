// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/water.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace wave {
namespace {

// The lightness range of each view: surface troughs to crests, still to
// swinging water. Darker water comes nearer the black source marks and the
// near-black nodal lines than the cyan fronts stand from the usual
// background (CIELAB ΔE 50); lighter water nearer the cyan fronts.
constexpr double kSurfaceDark = 50, kSurfaceLight = 96;
constexpr double kStillLightness = 60, kSwingLightness = 96;

int GreyOfLightness(double lightness) {
  const double f = (lightness + 16) / 116;
  const double y = f * f * f > 0.008856 ? f * f * f : (f - 16.0 / 116) / 7.787;
  const double srgb =
      y <= 0.0031308 ? 12.92 * y : 1.055 * std::pow(y, 1 / 2.4) - 0.055;
  return std::clamp(static_cast<int>(std::lround(srgb * 255)), 0, 255);
}

std::array<Color, kWaterLevels> Palette(double dark, double light) {
  std::array<Color, kWaterLevels> palette{};
  for (int level = 0; level < kWaterLevels; ++level) {
    const int g = GreyOfLightness(dark + (light - dark) * level / 255.0);
    palette[static_cast<std::size_t>(level)] = RGB(g, g, g);
  }
  return palette;
}

}  // namespace

// Worked out once: every frame with a view asks for all of them.
Color WaterColour(WaterView view, int level) {
  static const std::array<Color, kWaterLevels> kSurface =
      Palette(kSurfaceDark, kSurfaceLight);
  static const std::array<Color, kWaterLevels> kAmplitude =
      Palette(kStillLightness, kSwingLightness);
  const auto at =
      static_cast<std::size_t>(std::clamp(level, 0, kWaterLevels - 1));
  return view == WaterView::kAmplitude ? kAmplitude[at] : kSurface[at];
}

}  // namespace wave
