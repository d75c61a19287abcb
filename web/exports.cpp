// SPDX-License-Identifier: GPL-3.0-or-later
// What the page calls: the table to build, one event at a time, and the
// frame's pixels. Texts go both ways as UTF-8.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/tone.h"

#include "web/page_protocol.h"
#if defined(SARVEL_SIX)
#include "six/controls.h"
#else
#include "full/controls.h"
#endif

namespace {

#if defined(SARVEL_SIX)
constexpr wave::Edition kEdition = wave::Edition::Six;
const wave::form::FormLayout& kLayout = wave::six::kForm1;
#else
constexpr wave::Edition kEdition = wave::Edition::Full;
const wave::form::FormLayout& kLayout = wave::full::kForm1;
#endif

// The page's background; one thread, and the byte order ImageData reads.
wave::window::FormModel& Model() {
  static wave::window::FormModel model(
      kEdition, kLayout,
      {0xF0F0F0, wave::FrameRasteriser::PixelOrder::kRgba8, 1, 96});
  return model;
}

// A text handed back stays valid until the next call that hands one back.
const char* Handed(std::string text) {
  static std::string held;
  held = std::move(text);
  return held.c_str();
}

// The tone's samples for the page's audio: made once its context knows
// its rate.
std::unique_ptr<wave::ToneGenerator> tone;
std::vector<float> samples;

void FollowTone() {
  const auto& t = Model().view().tone;
  if (tone) tone->SetLevel(t.on ? t.level : 0);
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* sarvel_controls() {
  return Handed(wave::web::ControlsJson(Model()));
}
EMSCRIPTEN_KEEPALIVE const char* sarvel_event(const char* event) {
  const char* answer = Handed(wave::web::Dispatch(Model(), event));
  FollowTone();
  return answer;
}
EMSCRIPTEN_KEEPALIVE void sarvel_tone_start(double sampleRate) {
  tone = std::make_unique<wave::ToneGenerator>(sampleRate);
  FollowTone();
}
// The graph's traces as the last event left them.
EMSCRIPTEN_KEEPALIVE std::uintptr_t sarvel_graph() {
  static std::vector<float> packed;
  wave::web::PackGraph(Model().view().graph, packed);
  return reinterpret_cast<std::uintptr_t>(packed.data());
}
// `count` samples of the tone, in the page's memory.
EMSCRIPTEN_KEEPALIVE std::uintptr_t sarvel_tone(int count) {
  samples.resize(static_cast<std::size_t>(count > 0 ? count : 0));
  if (tone) tone->Fill(samples.data(), samples.size());
  return reinterpret_cast<std::uintptr_t>(samples.data());
}
EMSCRIPTEN_KEEPALIVE std::uintptr_t sarvel_pixels() {
  return reinterpret_cast<std::uintptr_t>(Model().frame().pixels());
}
EMSCRIPTEN_KEEPALIVE int sarvel_width() {
  return Model().frame().deviceWidth();
}
EMSCRIPTEN_KEEPALIVE int sarvel_height() {
  return Model().frame().deviceHeight();
}

}  // extern "C"

int main() { return 0; }
