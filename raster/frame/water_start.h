// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/water.h"
#include "raster/frame/frame_pixels.h"
#include "raster/keep/line_layer.h"
#include "raster/keep/water_cache.h"
#include "raster/pixels/water_field.h"

namespace wave {

// The water a frame starts from, if any: its field as the buffer takes it,
// what is kept of it, and whether every frame shows it alike. Water that
// changes from frame to frame cannot lie under a kept layer of lines;
// settled water can, and is kept with them.
class WaterStart {
 public:
  // A frame begins on the background.
  void Clear() { on_ = false; }
  void Begin(const WaterShade& water, const FramePixels& pixels,
             LineLayer& lines) {
    field_ = WaterField::Of(water, pixels.twipsPerPixel() / pixels.dpr());
    for (std::uint32_t& c : field_.colours) c = 0xFF000000u | pixels.ToRgb(c);
    on_ = true;
    settled_ = field_.Settled(pixels.width(), pixels.height());
    if (settled_) {
      field_ = field_.SettledForm();
      lines.Under(field_);
    } else {
      lines.Forget();
    }
    kept_.Prepare(field_, pixels.width(), pixels.height());
  }
  bool on() const { return on_; }
  bool settled() const { return settled_; }
  WaterCache& kept() { return kept_; }
  void Forget() { kept_.Clear(); }

 private:
  WaterField field_;
  WaterCache kept_;
  bool on_ = false, settled_ = false;
};

}  // namespace wave
