// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>

#include <algorithm>
#include <cmath>

#include "canvas/canvas.h"
#include "canvas/water.h"

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
  // Each device pixel from the formulas in double precision.
  void Shade(const WaterShade& w) override {
    Flush();
    const double twips = twipsPerPixel_ / image_.devicePixelRatio();
    for (int y = 0; y < image_.height(); ++y) {
      for (int x = 0; x < image_.width(); ++x) {
        const int level = WaterLevel(w, (x + 0.5) * twips, (y + 0.5) * twips);
        const Color c = WaterColour(w.view, level);
        image_.setPixel(x, y, qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
      }
    }
  }
  // The level of the water at (x, y) in twips, rounded.
  static int WaterLevel(const WaterShade& w, double x, double y) {
    const double rA = std::hypot(x - w.ax, y - w.ay);
    const double rB = std::hypot(x - w.bx, y - w.by);
    const bool moving = w.wavelength > 0;
    const bool inA = moving && rA <= w.front, inB = moving && rB <= w.front;
    constexpr double kPi = 3.14159265358979323846;
    if (w.view == WaterView::kAmplitude) {
      double a = inA != inB ? 1 : 0;
      if (inA && inB) {
        a = 2 * std::fabs(std::cos(kPi * (rA - rB) / w.wavelength +
                                   (w.antiphase ? kPi / 2 : 0)));
      }
      return static_cast<int>(std::lround(a * 127.5));
    }
    const double crestB = w.antiphase ? w.wavelength / 2 : 0;
    const double yA =
        inA ? std::cos(2 * kPi * (w.front - rA) / w.wavelength) : 0;
    const double yB =
        inB ? std::cos(2 * kPi * (w.front - crestB - rB) / w.wavelength) : 0;
    return std::clamp(static_cast<int>(std::lround((yA + yB) * 63.75)) + 128, 0,
                      255);
  }
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
