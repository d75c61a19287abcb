// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "canvas/water.h"
#include "raster/pixels/pixels.h"

namespace wave {

// The water as the buffer's pixels take it: in device pixels, sampled at
// each pixel's centre, phases in turns (whole wavelengths), each level's
// colour as the buffer holds it. Every instruction set does the same
// operations in the same order, so that a page and a window agree pixel
// for pixel.
//
// A wave's height at distance r is cos 2π(phase − r·turnsPerPixel)
//   = cos 2π·phase · cos 2πθ + sin 2π·phase · sin 2πθ,  θ = r·turnsPerPixel,
// so the surface of any frame is a sum of four products with θ's cosine and
// sine, which depend on the geometry alone and are kept (WaterCache).
struct WaterField {
  WaterView view = WaterView::kSurface;
  float ax = 0, ay = 0, bx = 0, by = 0;
  double front = -1;  // reached where r ≤ front; negative: nowhere
  float turnsPerPixel = 0;
  double phaseA = 0, phaseB = 0;  // each wave's phase at its front, in turns
  bool antiphase = false;
  std::array<std::uint32_t, kWaterLevels> colours{};

  bool operator==(const WaterField&) const = default;

  // The field for a buffer whose device pixels are `twipsPerDevicePixel`
  // twips wide, its colours as 0x00BBGGRR: to be laid out as the buffer
  // holds its pixels, alpha full.
  static WaterField Of(const WaterShade& water, double twipsPerDevicePixel);
  // Whether every pixel of a width × height buffer shows the same from
  // frame to frame: the water is still, or in the amplitude view both
  // fronts have passed the farthest pixel.
  bool Settled(int width, int height) const;
  // The same field with what settled water does not show reset, so that
  // two settled fields compare by what they show.
  WaterField SettledForm() const;
  // Whether two fields have the same kept values (WaterCache).
  bool SameGeometry(const WaterField& other) const;
};

// Pixels [from, to) of a row reached by a front: empty when from ≥ to.
struct Reach {
  int from = 0, to = 0;
};
Reach ReachOf(double cx, double cy, double front, int y, int width);

// A pixel's kept values for one source, two bytes: θ's cosine and sine, as
// round(127·value). A pixel mixes A's pair and B's.
constexpr int kPairBytes = 2;
constexpr int kPhaseBytes = 2 * kPairBytes;

// Four multipliers, one per byte of A's pair then B's (0 for a wave not
// arrived): the level is 128 + round(Σ multiplier·byte / 256), clamped to
// 0..255.
struct SurfaceMix {
  std::array<std::int16_t, kPhaseBytes> k{};
};
SurfaceMix MixOf(const WaterField& field, bool a, bool b);

// The level (0..255) of one pixel, worked out alone: the reference the
// kept values and the lanes follow.
int WaterLevelAt(const WaterField& field, int x, int y);

namespace lanes {
// One source's kept pairs (surface) of row y, pixels [x0, x0 + count),
// and the amplitude's levels where both waves have arrived, by each width
// of lanes.
void PhaseRowPlain(const WaterField& f, bool b, int y, int x0, int count,
                   std::int8_t* out);
void PhaseRowFour(const WaterField& f, bool b, int y, int x0, int count,
                  std::int8_t* out);
void PhaseRowEight(const WaterField& f, bool b, int y, int x0, int count,
                   std::int8_t* out);
void AmplitudeRowPlain(const WaterField& f, int y, int width,
                       std::uint8_t* out);
void AmplitudeRowFour(const WaterField& f, int y, int width, std::uint8_t* out);
void AmplitudeRowEight(const WaterField& f, int y, int width,
                       std::uint8_t* out);
// `count` pixels of the surface from A's kept pairs and B's.
void MixSurfacePlain(const std::int8_t* a, const std::int8_t* b, int count,
                     const SurfaceMix& mix, const std::uint32_t* colours,
                     std::uint32_t* out);
void MixSurfaceFour(const std::int8_t* a, const std::int8_t* b, int count,
                    const SurfaceMix& mix, const std::uint32_t* colours,
                    std::uint32_t* out);
void MixSurfaceEight(const std::int8_t* a, const std::int8_t* b, int count,
                     const SurfaceMix& mix, const std::uint32_t* colours,
                     std::uint32_t* out);
}  // namespace lanes

// The widest lanes the processor has.
void PhaseRow(const WaterField& f, bool b, int y, int x0, int count,
              std::int8_t* out);
void AmplitudeRow(const WaterField& f, int y, int width, std::uint8_t* out);
void MixSurface(const std::int8_t* a, const std::int8_t* b, int count,
                const SurfaceMix& mix, const std::uint32_t* colours,
                std::uint32_t* out);

}  // namespace wave
