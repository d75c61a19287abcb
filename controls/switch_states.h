// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "scene/wave_scene.h"

namespace wave::form {

// The buttons that switch something, whose state a screen reader is told.
inline constexpr std::string_view kSwitchButtons[] = {
    "Command1", "Command2", "Command4", "Command6", "Command7"};

// A switch button's state in words ("表示中", "止まっている", "逆位相" …),
// or empty for any other control.
std::string SwitchState(std::string_view name, const WaveScene& scene,
                        bool running);

// A button's description with its state, as both front ends give it.
std::string WithState(std::string_view description, std::string_view state);

// What the picture's description depends on besides the instant: when it
// changes, the description is announced; a tick alone never changes it.
std::string SettingsKey(const WaveScene& scene, std::string_view text3);

}  // namespace wave::form
