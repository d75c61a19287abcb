// SPDX-License-Identifier: GPL-3.0-or-later
// Both editions' scenes driven by arbitrary texts and clicks: every frame
// must stay within a fixed budget of canvas calls, pass only finite values,
// leave the switches and the front radius as the clicks made them, and
// describe the picture in text a screen reader can read.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scene/picture_description.h"
#include "scene/wave_scene.h"
#include "tests/checking_canvas.h"
#include "tests/valid_text.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "scene_fuzz: %s\n", what.c_str());
  std::abort();
}

bool Switch(std::int16_t v) { return v == 0 || v == 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  FuzzedDataProvider in(data, size);
  const wave::Edition edition =
      in.ConsumeBool() ? wave::Edition::Six : wave::Edition::Full;
  wave::testing::CheckingCanvas canvas;
  wave::testing::PlainForm form;
  wave::WaveScene scene(edition, canvas, form);
  scene.InitScene();
  std::int64_t expectedRadius = scene.FrontRadius;

  for (int action = 0; action < 24 && in.remaining_bytes() > 0; ++action) {
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
      case 0:
        scene.StepFrame();
        expectedRadius += 100;
        break;
      case 1:
        scene.RedrawFrame();
        break;
      case 2:
        scene.ToggleAntinodal();
        break;
      case 3:
        scene.ToggleNodal();
        break;
      case 4:
        scene.ToggleCrossings();
        break;
      case 5:
        scene.TogglePhase();
        break;
      case 6:
        scene.ResetScene();
        expectedRadius = 1100;
        break;
      case 7: {
        // A long run of the animation, as ticks would leave it.
        const auto ticks = in.ConsumeIntegralInRange<std::int64_t>(0, 99'990);
        scene.FrontRadius = 1000 + 100 * ticks;
        expectedRadius = scene.FrontRadius;
        break;
      }
      default: {
        std::string text = in.ConsumeRandomLengthString(64);
        switch (in.ConsumeIntegralInRange<int>(0, 2)) {
          case 0:
            form.text1 = std::move(text);
            break;
          case 1:
            form.text2 = std::move(text);
            break;
          default:
            form.text3 = std::move(text);
        }
        break;
      }
    }
    if (!canvas.fault.empty()) Fail(canvas.fault);
    if (canvas.LongestFrame() > wave::testing::kFrameCallBudget) {
      Fail("frame of " + std::to_string(canvas.LongestFrame()) + " calls");
    }
    if (scene.FrontRadius != expectedRadius) Fail("front radius");
    if (!Switch(scene.ShowAntinodal) || !Switch(scene.ShowNodal) ||
        !Switch(scene.ShowCrossings) || !Switch(scene.Antiphase)) {
      Fail("switch outside 0 and 1");
    }
    if (edition == wave::Edition::Six && scene.Antiphase != 0) {
      Fail("six-button edition out of phase");
    }
    const std::string description =
        wave::DescribePicture(scene.Summarize(*canvas.Visible()));
    if (!wave::testing::IsCleanText(description)) {
      Fail("description not clean text: " + description);
    }
  }
  return 0;
}
