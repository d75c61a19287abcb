// SPDX-License-Identifier: GPL-3.0-or-later
// Where the processor offers no lanes this build knows: the water pixel by
// pixel.
#include "raster/pixels/water_field.h"

namespace wave::lanes {

void PhaseRowFour(const WaterField& f, int y, int width, std::int8_t* out) {
  PhaseRowPlain(f, y, width, out);
}
void PhaseRowEight(const WaterField& f, int y, int width, std::int8_t* out) {
  PhaseRowPlain(f, y, width, out);
}
void MixSurfaceFour(const std::int8_t* phases, int count, const SurfaceMix& mix,
                    const std::uint32_t* colours, std::uint32_t* out) {
  MixSurfacePlain(phases, count, mix, colours, out);
}
void MixSurfaceEight(const std::int8_t* phases, int count,
                     const SurfaceMix& mix, const std::uint32_t* colours,
                     std::uint32_t* out) {
  MixSurfacePlain(phases, count, mix, colours, out);
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
