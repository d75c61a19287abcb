// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/switch_states.h"

namespace wave::form {

std::string SwitchState(std::string_view name, const WaveScene& scene,
                        bool running) {
  const auto shown = [](std::int16_t on) {
    return std::string(on == 1 ? "表示中" : "非表示");
  };
  if (name == "Command1") return shown(scene.ShowAntinodal);
  if (name == "Command2") return shown(scene.ShowNodal);
  if (name == "Command4") return shown(scene.ShowCrossings);
  if (name == "Command6") return running ? "動いている" : "止まっている";
  if (name == "Command7" && scene.edition() == Edition::Full) {
    return scene.Antiphase == 1 ? "逆位相" : "同位相";
  }
  return {};
}

std::string WithState(std::string_view description, std::string_view state) {
  return std::string(description) + "。いまは" + std::string(state);
}

std::string SettingsKey(const WaveScene& scene, std::string_view text3) {
  return std::to_string(scene.ShowAntinodal) + std::to_string(scene.ShowNodal) +
         std::to_string(scene.ShowCrossings) + std::to_string(scene.Antiphase) +
         std::to_string(scene.Wavelength) + "/" +
         std::to_string(scene.Separation) + "/" + std::string(text3);
}

}  // namespace wave::form
