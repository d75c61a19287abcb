// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/probe_graph.h"

#include <QPainter>
#include <QPainterPath>

namespace wave::form {
namespace {

// A's and B's crests' colours, the sum in black; the border in P's orange.
constexpr QColor kWaveA(255, 0, 0), kWaveB(0, 0, 255), kSum(0, 0, 0);
constexpr QColor kBorder(255, 128, 0);
// The families' colours, darkened where text on white needs it.
constexpr QColor kAntinodalText(110, 110, 0), kNodalText(32, 32, 32);
constexpr int kLegendPx = 14;

QPainterPath Trace(const std::vector<float>& values, const QRectF& plot) {
  QPainterPath path;
  const auto n = static_cast<double>(values.size());
  for (std::size_t k = 0; k < values.size(); ++k) {
    const QPointF at(plot.left() + plot.width() * static_cast<double>(k) /
                                       std::max(1.0, n - 1),
                     plot.top() + plot.height() * (2 - values[k]) / 4);
    if (k == 0) {
      path.moveTo(at);
    } else {
      path.lineTo(at);
    }
  }
  return path;
}

}  // namespace

ProbeGraph::ProbeGraph(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ProbeGraph"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

void ProbeGraph::Name(const QString& name, const QString& now) {
  setAccessibleName(name);
  now_ = now;
  update();
}

void ProbeGraph::Show(const window::FormView::Graph& graph) {
  graph_ = graph;
  if (!graph.shown) {
    hide();
    return;
  }
  setGeometry(static_cast<int>(graph.box.left), static_cast<int>(graph.box.top),
              static_cast<int>(graph.box.width),
              static_cast<int>(graph.box.height));
  show();
  raise();
  update();
}

void ProbeGraph::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(255, 255, 255, 235));
  p.setPen(QPen(kBorder, 2));
  p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  QFont font = p.font();
  font.setPixelSize(11);
  p.setFont(font);
  const QRectF plot = QRectF(rect()).adjusted(6, kLegendPx + 4, -6, -4);
  int x = 6;
  for (const auto& [name, colour] :
       {std::pair{"A", kWaveA}, std::pair{"B", kWaveB},
        std::pair{"A + B", kSum}}) {
    p.setPen(colour);
    const QString text = QString::fromUtf8(name);
    p.drawText(QPointF(x, kLegendPx), text);
    x += p.fontMetrics().horizontalAdvance(text) + 10;
  }
  p.setPen(QColor(96, 96, 96));
  p.drawText(QRectF(rect()).adjusted(0, 2, -6, 0),
             Qt::AlignRight | Qt::AlignTop, now_);
  p.setPen(QPen(QColor(160, 160, 160), 1));
  p.drawLine(QPointF(plot.left(), plot.center().y()),
             QPointF(plot.right(), plot.center().y()));
  p.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
  p.drawLine(plot.topLeft(), plot.topRight());
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  p.drawLine(plot.topRight(), plot.bottomRight());  // now
  p.setBrush(Qt::NoBrush);
  for (const auto& [values, colour, width] :
       {std::tuple{&graph_.a, kWaveA, 1.5}, std::tuple{&graph_.b, kWaveB, 1.5},
        std::tuple{&graph_.sum, kSum, 2.5}}) {
    if (values->empty()) continue;
    p.setPen(QPen(colour, width));
    p.drawPath(Trace(*values, plot));
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawEllipse(
        QPointF(plot.right(),
                plot.top() + plot.height() * (2 - values->back()) / 4),
        2.5, 2.5);
    p.setBrush(Qt::NoBrush);
  }
}

void PaintLineOrders(QPainter& painter,
                     const std::vector<window::LineLabel>& labels) {
  if (labels.empty()) return;
  QFont font = painter.font();
  font.setPixelSize(static_cast<int>(window::kLabelFontPx));
  painter.setFont(font);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const window::LineLabel& label : labels) {
    const QRectF box(label.box.left, label.box.top, label.box.width,
                     label.box.height);
    const QColor colour = label.antinodal ? kAntinodalText : kNodalText;
    painter.setPen(QPen(colour, 1));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRoundedRect(box, 3, 3);
    painter.drawText(box, Qt::AlignCenter, QString::fromStdString(label.text));
  }
}

}  // namespace wave::form
