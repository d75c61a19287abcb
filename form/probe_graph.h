// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <vector>

#include "window/form_view.h"

class QPainter;

namespace wave::form {

// The waves at P beside its readout: A's, B's and their sum over the last
// periods, now at the right edge. Over the picture, never in it; takes no
// clicks.
class ProbeGraph : public QWidget {
  Q_OBJECT

 public:
  explicit ProbeGraph(QWidget* parent);
  void Show(const window::FormView::Graph& graph);
  // What it is called, and the word over its right edge, where now is.
  void Name(const QString& name, const QString& now);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  window::FormView::Graph graph_;
  QString now_;
};

// The lines' orders, painted over the picture like P.
void PaintLineOrders(QPainter& painter,
                     const std::vector<window::LineLabel>& labels);

}  // namespace wave::form
