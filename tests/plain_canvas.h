// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>

#include "canvas/canvas.h"

namespace wave::testing {

// Every call handed straight to QPainter: no clipping, no culling, no
// batching. The yardstick for the pixels and the speed of RasterCanvas.
class PlainCanvas : public Canvas {
 public:
  PlainCanvas(QSize pixels, double twipsPerPixel,
              QColor background = QColor(240, 240, 240),
              qreal devicePixelRatio = 1)
      : image_(pixels * devicePixelRatio, QImage::Format_RGB32),
        twipsPerPixel_(twipsPerPixel),
        background_(background) {
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(background_);
  }

  void Cls() override { Painter().fillRect(image_.rect(), background_); }
  void Circle(float x, float y, float r, Color c) override {
    if (r < 0) return;
    QPainter& p = Painter();
    p.setPen(Pen(c));
    p.setBrush(fill_ == 0 ? QBrush(Q(fillColor_)) : QBrush(Qt::NoBrush));
    p.drawEllipse(QPointF(x / twipsPerPixel_, y / twipsPerPixel_),
                  r / twipsPerPixel_, r / twipsPerPixel_);
  }
  void Line(float x1, float y1, float x2, float y2, Color c) override {
    QPainter& p = Painter();
    p.setPen(Pen(c));
    p.drawLine(QLineF(x1 / twipsPerPixel_, y1 / twipsPerPixel_,
                      x2 / twipsPerPixel_, y2 / twipsPerPixel_));
  }
  void SetDrawWidth(int w) override { width_ = w; }
  void SetDrawStyle(int) override {}
  void SetFillStyle(int s) override { fill_ = s; }
  void SetFillColor(Color c) override { fillColor_ = c; }

  // As the raster canvas: the picture is complete once flushed.
  void Flush() {
    if (painter_.isActive()) painter_.end();
  }
  const QImage& image() {
    Flush();
    return image_;
  }

 private:
  QPainter& Painter() {
    if (!painter_.isActive()) {
      painter_.begin(&image_);
      painter_.setRenderHint(QPainter::Antialiasing);
    }
    return painter_;
  }
  static QColor Q(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
  QPen Pen(Color c) const {
    return QPen(Q(c), width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  }

  QImage image_;
  double twipsPerPixel_;
  QColor background_;
  QPainter painter_;
  int width_ = 1, fill_ = 1;
  Color fillColor_ = 0;
};

}  // namespace wave::testing
