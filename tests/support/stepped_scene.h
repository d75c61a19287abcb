// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "scene/wave_scene.h"
#include "tests/support/recording_canvas.h"

namespace wave::testing {

// A full-edition scene with one frame drawn from the given boxes' texts.
struct SteppedScene {
  RecordingCanvas canvas;
  FakeForm form;
  WaveScene scene{Edition::Full, canvas, form};
  SteppedScene(const char* lambda, const char* distance, int antiphase) {
    form.canvas = &canvas;
    form.text1 = lambda;
    form.text2 = distance;
    scene.InitScene();
    scene.Antiphase = static_cast<std::int16_t>(antiphase);
    scene.StepFrame();
  }
};

}  // namespace wave::testing
