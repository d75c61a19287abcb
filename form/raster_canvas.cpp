// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/raster_canvas.h"

#include <QGuiApplication>
#include <QPalette>

#include "raster/frame/frame_rasteriser.h"

namespace wave {
namespace {

QColor DefaultBackground() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    return QGuiApplication::palette().color(QPalette::Window);
  }
  return QColor(240, 240, 240);
}

FrameRasteriser::Size SizeOf(QSize pixels, qreal devicePixelRatio) {
  return {std::max(pixels.width(), 1), std::max(pixels.height(), 1),
          devicePixelRatio};
}

}  // namespace

RasterCanvas::RasterCanvas(QSize pixels, double twipsPerPixel)
    : RasterCanvas(pixels, twipsPerPixel, 1.0, DefaultBackground()) {}

RasterCanvas::RasterCanvas(QSize pixels, double twipsPerPixel,
                           qreal devicePixelRatio, QColor background)
    : engine_(std::make_unique<FrameRasteriser>(
          SizeOf(pixels, devicePixelRatio), twipsPerPixel,
          background.rgb() & 0xFFFFFFu)) {
  Wrap();
}

RasterCanvas::~RasterCanvas() = default;
RasterCanvas::RasterCanvas(RasterCanvas&&) noexcept = default;
RasterCanvas& RasterCanvas::operator=(RasterCanvas&&) noexcept = default;

// The image reads the engine's buffer in place; a new buffer, a new view.
void RasterCanvas::Wrap() {
  const int width = engine_->deviceWidth();
  image_ = QImage(reinterpret_cast<const uchar*>(engine_->pixels()), width,
                  engine_->deviceHeight(), width * 4, QImage::Format_RGB32);
  image_.setDevicePixelRatio(engine_->size().devicePixelRatio);
}

void RasterCanvas::Cls() { engine_->Cls(); }
void RasterCanvas::Shade(const WaterShade& water) { engine_->Shade(water); }
void RasterCanvas::Circle(float x, float y, float radius, Color color) {
  engine_->Circle(x, y, radius, color);
}
void RasterCanvas::Line(float x1, float y1, float x2, float y2, Color color) {
  engine_->Line(x1, y1, x2, y2, color);
}
void RasterCanvas::SetDrawWidth(int pixels) { engine_->SetDrawWidth(pixels); }
void RasterCanvas::SetDrawStyle(int style) { engine_->SetDrawStyle(style); }
void RasterCanvas::SetFillStyle(int style) { engine_->SetFillStyle(style); }
void RasterCanvas::SetFillColor(Color color) { engine_->SetFillColor(color); }
std::optional<VisibleArea> RasterCanvas::Visible() const {
  return engine_->Visible();
}
void RasterCanvas::Flush() { engine_->Flush(); }
const QImage& RasterCanvas::image() const { return image_; }

void RasterCanvas::Resize(QSize pixels, qreal devicePixelRatio) {
  image_ = QImage();  // no view may outlive the buffer it reads
  engine_->Resize(SizeOf(pixels, devicePixelRatio));
  Wrap();
}

QSize RasterCanvas::logicalSize() const {
  return {engine_->size().width, engine_->size().height};
}
std::size_t RasterCanvas::keptBytes() const { return engine_->keptBytes(); }
double RasterCanvas::twipsPerPixel() const { return engine_->twipsPerPixel(); }

}  // namespace wave
