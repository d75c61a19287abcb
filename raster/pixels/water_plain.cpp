// SPDX-License-Identifier: GPL-3.0-or-later
// Where the processor offers no lanes this build knows: the water pixel by
// pixel.
#include "raster/pixels/water_field.h"

namespace wave::lanes {

void PhaseRowFour(const WaterField& f, bool b, int y, int x0, int count,
                  std::int8_t* out) {
  PhaseRowPlain(f, b, y, x0, count, out);
}
void PhaseRowEight(const WaterField& f, bool b, int y, int x0, int count,
                   std::int8_t* out) {
  PhaseRowPlain(f, b, y, x0, count, out);
}
void MixSurfaceFour(const std::int8_t* a, const std::int8_t* b, int count,
                    const SurfaceMix& mix, const std::uint32_t* colours,
                    std::uint32_t* out) {
  MixSurfacePlain(a, b, count, mix, colours, out);
}
void MixSurfaceEight(const std::int8_t* a, const std::int8_t* b, int count,
                     const SurfaceMix& mix, const std::uint32_t* colours,
                     std::uint32_t* out) {
  MixSurfacePlain(a, b, count, mix, colours, out);
}
void AmplitudeRowFour(const WaterField& f, int y, int width,
                      std::uint8_t* out) {
  AmplitudeRowPlain(f, y, width, out);
}
void AmplitudeRowEight(const WaterField& f, int y, int width,
                       std::uint8_t* out) {
  AmplitudeRowPlain(f, y, width, out);
}

}  // namespace wave::lanes
