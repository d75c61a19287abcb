// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/canvas.h"
#include "scene/wave_scene.h"

namespace wave::testing {

// The frame rules transcribed word for word: every loop walked as a running
// sum, every ring pair tested, every hyperbola member traced, nothing culled.
// It reads and writes the fields of `scene` but not its canvas. Only for
// inputs on which the rules terminate quickly; a yardstick for the real frame.
void LiteralStepFrame(WaveScene& scene, Canvas& canvas, FormControls& form);

}  // namespace wave::testing
