// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "window/form_model.h"

class QKeyEvent;
class QWidget;

namespace wave::form {

// What the form model is told of the window: how its picture is made
// (the palette's background, QImage's byte order, every core, the screen's
// resolution) and a key as the model reads it (focus left to the caller).
window::FormModel::Picture PictureFor(const QWidget& window);
window::KeyPress KeyPressOf(const QKeyEvent& event);

}  // namespace wave::form
