// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/probe_mark.h"

#include <QPainter>

#include "form/form_fonts.h"

namespace wave::form {
namespace {

// A colour no wave element uses.
constexpr QColor kProbeColour(255, 128, 0);

}  // namespace

ProbeReadout::ProbeReadout(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("ProbeReadout"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setStyleSheet(
      QStringLiteral("background: rgba(255, 255, 255, 230); color: black;"
                     " border: 2px solid rgb(255, 128, 0); padding: 1px 3px;"));
  setFont(FontFor(FontVariant::Normal10));
  hide();
}

void PaintProbe(QPainter& painter, const window::FormView::Probe& probe) {
  if (!probe.shown) return;
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF at(probe.xPx, probe.yPx);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 4));
  painter.drawEllipse(at, probe.radiusPx, probe.radiusPx);
  painter.setPen(QPen(kProbeColour, 2));
  painter.drawEllipse(at, probe.radiusPx, probe.radiusPx);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kProbeColour);
  painter.drawEllipse(at, 2.0, 2.0);
}

}  // namespace wave::form
