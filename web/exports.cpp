// SPDX-License-Identifier: GPL-3.0-or-later
// What the page calls: one form, its events, and what it shows. Texts go
// both ways as UTF-8.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <string>

#include "web/web_form.h"
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

wave::web::WebForm& Form() {
  static wave::web::WebForm form(kEdition, kLayout);
  return form;
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
  return Handed(Form().ControlsJson());
}
EMSCRIPTEN_KEEPALIVE int sarvel_load() {
  return Form().Handle([] { Form().Load(); });
}
EMSCRIPTEN_KEEPALIVE int sarvel_click(const char* name) {
  return Form().Handle([name] { Form().Click(name); });
}
EMSCRIPTEN_KEEPALIVE int sarvel_tick() {
  return Form().Handle([] { Form().Tick(); });
}
EMSCRIPTEN_KEEPALIVE int sarvel_resize(int width, int height, double ratio) {
  return Form().Handle([=] { Form().Resize(width, height, ratio); });
}
EMSCRIPTEN_KEEPALIVE void sarvel_set_text(int box, const char* text) {
  Form().SetText(box, text);
}
EMSCRIPTEN_KEEPALIVE void sarvel_set_speed(int intervalMs) {
  Form().SetSpeed(intervalMs);
}
EMSCRIPTEN_KEEPALIVE void sarvel_set_switch(const char* name, int on) {
  Form().SetSwitch(name, on != 0);
}
EMSCRIPTEN_KEEPALIVE int sarvel_switch(const char* name) {
  return Form().SwitchOn(name) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int sarvel_interval() { return Form().intervalMs(); }
EMSCRIPTEN_KEEPALIVE int sarvel_clock_epoch() { return Form().clockEpoch(); }
EMSCRIPTEN_KEEPALIVE double sarvel_label5_left() {
  return Form().label5LeftTwips();
}
EMSCRIPTEN_KEEPALIVE const char* sarvel_phase() {
  return Handed(Form().phaseCaption());
}
EMSCRIPTEN_KEEPALIVE const char* sarvel_description() {
  return Handed(Form().Description());
}
EMSCRIPTEN_KEEPALIVE const char* sarvel_state(const char* name) {
  return Handed(Form().StateOf(name));
}
EMSCRIPTEN_KEEPALIVE int sarvel_settings_changed() {
  return Form().SettingsChanged() ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void sarvel_set_probe(double x, double y, int on) {
  Form().SetProbe(on != 0 ? std::optional(std::pair(x, y)) : std::nullopt);
}
EMSCRIPTEN_KEEPALIVE const char* sarvel_probe_text() {
  return Handed(Form().ProbeText());
}
EMSCRIPTEN_KEEPALIVE double sarvel_separation() {
  return Form().scene().Separation;
}
EMSCRIPTEN_KEEPALIVE const char* sarvel_failure() {
  return Form().failure().c_str();
}
EMSCRIPTEN_KEEPALIVE std::uintptr_t sarvel_pixels() {
  return reinterpret_cast<std::uintptr_t>(Form().frame().pixels());
}
EMSCRIPTEN_KEEPALIVE int sarvel_width() { return Form().frame().deviceWidth(); }
EMSCRIPTEN_KEEPALIVE int sarvel_height() {
  return Form().frame().deviceHeight();
}

}  // extern "C"

int main() { return 0; }
