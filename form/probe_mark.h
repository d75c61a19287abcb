// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

#include "window/form_view.h"

class QPainter;

namespace wave::form {

// P's readout: a framed label over the picture that takes no clicks.
class ProbeReadout : public QLabel {
  Q_OBJECT

 public:
  explicit ProbeReadout(QWidget* parent);
};

// P's mark, painted over the picture and never into it: an orange ring
// with a white rim, so that it shows on any colour of the frame.
void PaintProbe(QPainter& painter, const window::FormView::Probe& probe);

}  // namespace wave::form
