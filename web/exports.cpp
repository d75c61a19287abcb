// SPDX-License-Identifier: GPL-3.0-or-later
// What the page calls: the table to build, one event at a time, and the
// frame's pixels. Texts go both ways as UTF-8.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>

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

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* sarvel_controls() {
  return Handed(wave::web::ControlsJson(Model()));
}
EMSCRIPTEN_KEEPALIVE const char* sarvel_event(const char* event) {
  return Handed(wave::web::Dispatch(Model(), event));
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
